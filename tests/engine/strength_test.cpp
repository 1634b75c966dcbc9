#include "engine/strength.h"

#include "book/book.h"
#include "engine/perft.h"
#include "engine/search.h"
#include "engine_fixture.h"

namespace {

constexpr ThinkLimits fixedDepth(int depth) {
    return {NoTimeLimit, NoTimeLimit, depth, false, nullptr};
}

// Middlegame and endgame positions with many reasonable moves.
const char* const positions[] = {
    "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq -",
    "r2q1rk1/ppp2ppp/2np1n2/2b1p1B1/2B1P1b1/2NP1N2/PPP2PPP/R2Q1RK1 w - -",
    "rnbqkb1r/pp2pppp/3p1n2/8/3NP3/8/PPP2PPP/RNBQKB1R w KQkq -",
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R2QKB1R w KQ -",
    "2r2rk1/pp1bqppp/2n1pn2/3p4/3P4/2PBPN2/P1Q2PPP/R4RK1 w - -",
    "r3k2r/pbppqppp/1pn2n2/4p3/2B1P3/2NP1N2/PPP1QPPP/R3K2R w KQkq -",
    "8/5pk1/6p1/3R4/7P/6P1/r4PK1/8 w - -",
    "4r1k1/1p3ppp/p1p5/3n4/3P4/P1N2P2/1P4PP/4R1K1 b - -",
    "r4rk1/1bq1bppp/p2ppn2/1p6/3BPP2/2N2B2/PPPQ2PP/R4R1K b - -",
    "rn1qkbnr/pp2pppp/2p5/5b2/3P4/8/PPP1NPPP/R1BQKBNR w KQkq -",
    "r1b2rk1/2q1bppp/p2p1n2/np2p3/3PP3/5N1P/PPBN1PP1/R1BQR1K1 b - -",
    "6k1/pp3ppp/4p3/8/2P5/1P3P2/P5PP/6K1 w - -",
};

class Strength : public ::testing::Test {
protected:
    void SetUp() override { setBookPath((::testing::TempDir() + "no-such-book.dat").c_str()); }
    void TearDown() override { playingStrength = FullStrength; }
};

// Two moves are the same when they leave the same squares with the same promotion.
bool sameMove(const Move& a, const Move& b) {
    return a.fromTo == b.fromTo && promotionType(a) == promotionType(b);
}

bool isLegal(const Move& move) {
    Move        moves[MaxMovesPerPly];
    const Move* end = genLegalMoves(moves);
    for (const Move* m = moves; m != end; ++m)
        if (sameMove(*m, move)) return true;
    return false;
}

}  // namespace

TEST_F(Strength, FullStrengthIsTheSearchUnchanged) {
    for (const char* fen : positions) {
        SCOPED_TRACE(fen);
        setFen(fen);
        Move                searched{}, atLevel{}, thought{};
        const int           score = searchBestMove(board.sideToMove, &searched, fixedDepth(5));
        const std::uint64_t nodes = searchNodes;
        std::uint64_t       random = 1;
        EXPECT_EQ(thinkAtLevel(FullStrength, board.sideToMove, &atLevel, fixedDepth(5), random),
                  score);
        EXPECT_EQ(searchNodes, nodes);
        EXPECT_TRUE(sameMove(atLevel, searched));
        EXPECT_EQ(random, 1u);  // no choice drawn
        playingStrength = FullStrength;
        EXPECT_EQ(thinkMove(board.sideToMove, &thought, fixedDepth(5)), score);
        EXPECT_EQ(searchNodes, nodes);
        EXPECT_TRUE(sameMove(thought, searched));
    }
}

TEST_F(Strength, TheBeginnerPlaysOtherLegalMovesThanFullStrength) {
    int differ = 0;
    for (const char* fen : positions) {
        SCOPED_TRACE(fen);
        setFen(fen);
        const Board before = board;
        Move        full{}, beginner{};
        searchBestMove(board.sideToMove, &full, fixedDepth(5));
        std::uint64_t random = 7;
        thinkAtLevel(BeginnerStrength, board.sideToMove, &beginner, fixedDepth(5), random);
        EXPECT_TRUE(board == before);
        EXPECT_TRUE(isLegal(beginner));
        if (!sameMove(beginner, full)) ++differ;
    }
    EXPECT_GE(differ, 6) << "of " << std::size(positions);
}

TEST_F(Strength, ChoicesFollowTheGeneratorState) {
    setFen(positions[1]);
    Move first{}, again{};
    std::uint64_t a = 42, b = 42;
    thinkAtLevel(BeginnerStrength, White, &first, fixedDepth(5), a);
    thinkAtLevel(BeginnerStrength, White, &again, fixedDepth(5), b);
    EXPECT_TRUE(sameMove(first, again));
    EXPECT_EQ(a, b);
    EXPECT_NE(a, 42u);
}

// A rook hangs: full strength always takes it; the beginner takes it most of the time and
// sometimes, by its mistake chance and noise, plays something else; a mate in one is found by
// every level above the beginner.
TEST_F(Strength, MistakesComeWithTheLevelsChance) {
    struct Case {
        const char* fen;
        const char* best;
        int         level, lowPercent, highPercent;
    } cases[] = {
        {"6k1/5ppp/8/8/8/2r5/5PPP/2R3K1 w - -", "c1c3", BeginnerStrength, 40, 95},
        {"6k1/5ppp/8/8/8/2r5/5PPP/2R3K1 w - -", "c1c3", FullStrength, 100, 100},
        {"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -", "d1d8", 1, 100, 100},
        {"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -", "d1d8", 3, 100, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fen);
        SCOPED_TRACE(c.level);
        setFen(c.fen);
        Move best{};
        ASSERT_TRUE(coordsToMove(c.best, &best));
        int           taken  = 0;
        std::uint64_t random = 3;
        for (int i = 0; i < 100; ++i) {
            Move chosen{};
            thinkAtLevel(c.level, White, &chosen, fixedDepth(3), random);
            if (sameMove(chosen, best)) ++taken;
        }
        EXPECT_GE(taken, c.lowPercent);
        EXPECT_LE(taken, c.highPercent);
    }
}

TEST_F(Strength, UciSettingsChooseLevels) {
    EXPECT_EQ(levelForSkill(0), BeginnerStrength);
    EXPECT_EQ(levelForSkill(20), FullStrength);
    EXPECT_EQ(levelForSkill(-5), BeginnerStrength);
    EXPECT_EQ(levelForSkill(19), FullStrength - 1);
    EXPECT_EQ(levelForElo(0), BeginnerStrength);
    EXPECT_EQ(levelForElo(100000), FullStrength);
    for (int level = BeginnerStrength; level <= FullStrength; ++level) {
        EXPECT_EQ(levelForElo(strengthLevels[level].elo), level);
        if (level > BeginnerStrength) {
            EXPECT_EQ(levelForElo(strengthLevels[level].elo - 1), level - 1);
        }
    }
}
