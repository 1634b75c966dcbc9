#include "engine/think.h"

#include <cstdlib>
#include <new>
#include <thread>

#include "book/book.h"
#include "engine/perft.h"
#include "engine/search.h"
#include "allocation_counter.h"
#include "engine_fixture.h"


namespace {

constexpr ThinkLimits fixedDepth(int depth) { return {NoTimeLimit, NoTimeLimit, depth, false, nullptr}; }

bool isLegal(const Move& move) {
    Move        moves[MaxMovesPerPly];
    const Move* end = genLegalMoves(moves);
    for (const Move* m = moves; m != end; ++m)
        if (m->fromTo == move.fromTo && m->flags == move.flags && m->piece == move.piece) return true;
    return false;
}

class Think : public ::testing::Test {
protected:
    // No book: these positions are searched.
    void SetUp() override { setBookPath((::testing::TempDir() + "no-such-book.dat").c_str()); }
};

}  // namespace

TEST_F(Think, MateInOneStopsAfterTheFirstIteration) {
    setFen("6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -");
    const Board before = board;
    Move        move{};
    EXPECT_EQ(thinkMove(White, &move), MateScore);
    EXPECT_EQ(thinkDepth, 1);
    EXPECT_FALSE(thinkFromBook);
    char text[8];
    moveToCoords(move, text);
    EXPECT_STREQ(text, "d1d8");
    EXPECT_TRUE(board == before);
}

TEST_F(Think, NoMoveWhenMatedOrStalemated) {
    struct Case {
        const char* fen;
        int         score, depth;
    } cases[] = {
        {"rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq -", -MateScore, 1},
        {"7k/5Q2/6K1/8/8/8/8/8 b - -", 0, MaxSearchDepth},  // every iteration answers 0 at once
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fen);
        setFen(c.fen);
        const Board before = board;
        Move        move{1, 1, 1, 1};
        EXPECT_EQ(thinkMove(board.sideToMove, &move), c.score);
        EXPECT_EQ(thinkDepth, c.depth);
        EXPECT_EQ(move.fromTo, 0);
        EXPECT_EQ(move.piece, 0);
        EXPECT_EQ(move.flags, 0);
        EXPECT_TRUE(board == before);
    }
}

// With a hard limit of 0 the first clock poll, at node 32770, stops the search: a stop at a
// known node whatever the machine's speed.
TEST_F(Think, TimeStopKeepsTheLastFinishedIterationsScore) {
    setFen("r1bq1rk1/pp1nbppp/2p1pn2/3p4/2PP4/2NBPN2/PPQ2PPP/R1B2RK1 w - -");
    const Board before = board;
    Move        move{};
    const int   stopped = thinkMove(White, &move, {0, NoTimeLimit, MaxSearchDepth, false, nullptr});
    const int   depth   = thinkDepth;
    EXPECT_EQ(searchNodes, 32770u);
    ASSERT_GE(depth, 2);
    EXPECT_TRUE(isLegal(move));
    EXPECT_TRUE(board == before);

    Move finished{};
    EXPECT_EQ(thinkMove(White, &finished, fixedDepth(depth)), stopped);
    EXPECT_LT(searchNodes, 32770u);
    thinkMove(White, &finished, fixedDepth(depth + 1));
    EXPECT_GT(searchNodes, 32770u) << "the next iteration was the one interrupted";
    EXPECT_TRUE(board == before);
}

// Stopped inside the first iteration before any root move finished: a legal move all the
// same, never the empty record that means "no legal move".
TEST_F(Think, StopInTheFirstIterationStillGivesALegalMove) {
    setFen("k7/1q1q1q1q/q1q1q1q1/1q1q1q1q/Q1Q1Q1Q1/1Q1Q1Q1Q/Q1Q1Q1Q1/7K w - -");
    const Board before = board;
    Move        move{};
    EXPECT_EQ(thinkMove(White, &move, {0, NoTimeLimit, MaxSearchDepth, false, nullptr}), 0);
    EXPECT_EQ(thinkDepth, 0);
    EXPECT_TRUE(isLegal(move));
    EXPECT_TRUE(board == before);
}

TEST_F(Think, SoftLimitEndsDeepeningOnlyFromDepthThree) {
    ASSERT_TRUE(playLine("e2e4 e7e5 g1f3 b8c6"));
    Move move{};
    thinkMove(White, &move, {NoTimeLimit, 0, MaxSearchDepth, false, nullptr});
    EXPECT_EQ(thinkDepth, SoftStopMinDepth);
    EXPECT_TRUE(isLegal(move));
}

// A thread's first search makes its tables, in one allocation; from then on a search
// allocates nothing.
TEST_F(Think, SearchAllocatesNothing) {
    ASSERT_TRUE(playLine("d2d4 d7d5 c2c4 e7e6 b1c3 g8f6 c1g5 f8e7"));
    Move        move{};
    std::size_t first = 0;
    std::thread fresh([&] {
        ASSERT_TRUE(playLine("d2d4"));
        const std::size_t before = allocationCount();
        thinkMove(Black, &move, fixedDepth(1));
        first = allocationCount() - before;
    });
    fresh.join();
    EXPECT_EQ(first, 1u);

    thinkMove(White, &move, fixedDepth(1));  // this thread's tables, if it had none
    const std::size_t before = allocationCount();
    thinkMove(White, &move, fixedDepth(5));
    EXPECT_EQ(allocationCount(), before);
}
