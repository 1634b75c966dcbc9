// What an analysis asks of the search besides a move: several lines, some root moves only, a
// node limit, the distance to a mate, the game's earlier positions, and pondering.
#include <thread>
#include <vector>

#include "allocation_counter.h"
#include "book/book.h"
#include "engine/enginesearch.h"
#include "engine/perft.h"
#include "engine/search.h"
#include "engine/think.h"
#include "engine_fixture.h"

namespace {

constexpr ThinkLimits fixedDepth(int depth) { return {NoTimeLimit, NoTimeLimit, depth, false, nullptr}; }

constexpr const char* Middlegame = "r1bq1rk1/pp1nbppp/2p1pn2/3p4/2PP4/2NBPN2/PPQ2PPP/R1B2RK1 w - -";
// White mates in two: Nf6+ gxf6, Bxf7#.
constexpr const char* MateInTwo = "r2qkb1r/pp2nppp/3p4/2pNN1B1/2BnP3/3P4/PPP2PPP/R2bK2R w KQkq - 1 1";
// White's queen on h5 stands attacked by the knight on f6.
constexpr const char* QueenAttacked =
    "r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4";

Move coords(const char* text) {
    Move move{};
    EXPECT_TRUE(coordsToMove(text, &move)) << text;
    return move;
}

std::string text(const Move& move) {
    char buffer[8];
    moveToCoords(move, buffer);
    return buffer;
}

// The moves of a line, in coordinates, separated by spaces.
std::string lineText(const Move* pv) {
    std::string out;
    for (int i = 0; i <= MaxPly && pv[i].fromTo != 0; ++i) {
        if (i > 0) out += ' ';
        out += text(pv[i]);
    }
    return out;
}

class Analysis : public ::testing::Test {
protected:
    void SetUp() override { setBookPath((::testing::TempDir() + "no-such-book.dat").c_str()); }
    void TearDown() override { setupStartBoard(); }
};

}  // namespace

// One line with every move is the plain search node for node; several lines give distinct
// first moves, best first, the first of them the best move answered.
TEST_F(Analysis, SeveralLinesAreDistinctAndBestFirst) {
    setFen(Middlegame);
    Move      plainMove{};
    const int plainScore = thinkMove(White, &plainMove, fixedDepth(5));
    const std::uint64_t plainNodes = searchNodes;
    ThinkLimits one = fixedDepth(5);
    one.lines       = 1;
    Move move{};
    EXPECT_EQ(thinkMove(White, &move, one), plainScore);
    EXPECT_EQ(searchNodes, plainNodes);
    EXPECT_EQ(move.fromTo, plainMove.fromTo);
    ASSERT_EQ(searchLineCount, 1);
    EXPECT_EQ(searchLines[0].pv[0].fromTo, plainMove.fromTo);

    ThinkLimits three = fixedDepth(5);
    three.lines       = 3;
    const Board       before      = board;
    const std::size_t allocations = allocationCount();
    const int         score       = thinkMove(White, &move, three);
    EXPECT_EQ(allocationCount(), allocations) << "the lines allocate nothing";
    EXPECT_TRUE(board == before);
    ASSERT_EQ(searchLineCount, 3);
    EXPECT_EQ(score, searchLines[0].score);
    EXPECT_EQ(move.fromTo, searchLines[0].pv[0].fromTo);
    for (int k = 1; k < 3; ++k) {
        EXPECT_LE(searchLines[k].score, searchLines[k - 1].score) << k;
        for (int j = 0; j < k; ++j) EXPECT_NE(searchLines[k].pv[0].fromTo, searchLines[j].pv[0].fromTo);
    }

    // More lines than moves: one line per move.
    setFen("7k/8/8/8/8/8/8/K7 w - -");
    ThinkLimits many = fixedDepth(3);
    many.lines       = MaxSearchLines;
    thinkMove(White, &move, many);
    EXPECT_EQ(searchLineCount, 3);
}

// Only the moves asked for are searched and answered, even where another is far better; when
// none of them is legal, every move is.
TEST_F(Analysis, SearchMovesRestrictTheRoot) {
    setFen(QueenAttacked);
    const std::vector<Move> asked = {coords("a2a3"), coords("b2b3")};
    ThinkLimits             limits = fixedDepth(4);
    limits.searchMoves     = asked.data();
    limits.searchMoveCount = 2;
    Move      move{};
    const int score = thinkMove(White, &move, limits);
    EXPECT_TRUE(text(move) == "a2a3" || text(move) == "b2b3") << text(move);
    EXPECT_LT(score, -500) << "the queen is lost";

    const Move illegal = {1, Knight, 0, 0};  // a1-b1 with no knight there
    limits.searchMoves     = &illegal;
    limits.searchMoveCount = 1;
    thinkMove(White, &move, limits);
    EXPECT_EQ(text(move).substr(0, 2), "h5") << "the queen moves away";
}

// The search ends on the poll placed on the node limit, below and above the poll interval.
TEST_F(Analysis, NodeLimitIsMetExactly) {
    for (const std::uint64_t limit : {std::uint64_t{1000}, std::uint64_t{PollInterval} * 3 + 5}) {
        SCOPED_TRACE(limit);
        setFen(Middlegame);
        ThinkLimits limits = fixedDepth(MaxSearchDepth);
        limits.maxNodes    = limit;
        Move move{};
        thinkMove(White, &move, limits);
        EXPECT_EQ(searchNodes, limit);
        EXPECT_TRUE(move.fromTo != 0);
    }
}

// A mate score carries the moves to the mate, and its line ends in the checkmate; the mated
// side's distance is negative. A mate search ends at the first mate short enough.
TEST_F(Analysis, MateLinesGiveTheDistance) {
    struct Case {
        const char* moves;  // played from MateInTwo
        int         mateMoves;
        const char* line;
    } cases[] = {
        {"", 2, "d5f6 g7f6 c4f7"},
        {"d5f6", -1, "g7f6 c4f7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.moves);
        setFen(MateInTwo);
        std::istringstream played(c.moves);
        for (std::string m; played >> m;) makeMove(coords(m.c_str()));
        Move move{};
        thinkMove(board.sideToMove, &move, fixedDepth(6));
        ASSERT_EQ(searchLineCount, 1);
        EXPECT_EQ(searchLines[0].mateMoves, c.mateMoves);
        EXPECT_EQ(lineText(searchLines[0].pv), c.line);
    }

    setFen(MateInTwo);
    ThinkLimits mate = fixedDepth(3);
    mate.mateMoves   = 2;
    Move move{};
    EXPECT_EQ(thinkMove(White, &move, mate), MateScore);
    EXPECT_EQ(text(move), "d5f6");
}

// A return to a position the game has had is a draw for the search when the game's earlier
// positions are given, so that a won ending is not drawn by repetition.
TEST_F(Analysis, GameHistoryMakesARepetitionADraw) {
    // White's best move alone returns to the position before the root.
    setFen("8/8/8/4k3/8/8/8/1Q4K1 w - -");
    Move alone{};
    thinkMove(White, &alone, fixedDepth(5));
    ASSERT_EQ(text(alone), "b1d1");
    makeMove(alone);
    const std::uint64_t repeated = board.hashKey;
    unmakeMove(alone);

    const GameHistoryScope history(&repeated, 1);
    Move                   move{};
    const int              score = thinkMove(White, &move, fixedDepth(5));
    EXPECT_NE(text(move), "b1d1");
    EXPECT_GT(score, 500);
}

// A ponder search keeps going past its limits until the ponderhit, then ends by them.
TEST_F(Analysis, PonderingEndsByItsLimitsAfterThePonderHit) {
    setFen(Middlegame);
    EngineSearch search(board, fixedDepth(2), false);
    search.setPondering();
    EngineResult result;
    std::thread  worker([&] {
        result = search.run();
        search.waitForPonderEnd();
    });
    while (search.progress().depth < 3) std::this_thread::yield();
    search.ponderHit();
    worker.join();
    EXPECT_GE(result.depth, 3);
    EXPECT_NE(result.move.fromTo, 0);
    EXPECT_FALSE(search.stopRequested());
}
