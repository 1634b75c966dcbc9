#include "engine/search.h"

#include <algorithm>
#include <vector>

#include "engine/eval.h"
#include "engine/hash.h"
#include "engine/think.h"
#include "engine_fixture.h"

namespace {

// The search-control state thinkMove sets up, without a time limit.
void startSearch() {
    stopSearch    = 0;
    pollCountdown = PollInterval;
    timeLimitMs   = NoTimeLimit;
    searchStartMs = clockMs();
    searchNodes   = 0;
    clearSearchState();
}

bool isZero(const Move& m) { return m.fromTo == 0 && m.piece == 0 && m.flags == 0 && m.score == 0; }

int packed(const char* coords) {
    return ((coords[1] - '1') * 8 + coords[0] - 'a') * 64 + (coords[3] - '1') * 8 + coords[2] - 'a';
}

}  // namespace

TEST(AlphaBeta, FindsMateInOneAtDepthOne) {
    setFen("6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -");
    const Board before = board;
    startSearch();
    EXPECT_EQ(alphaBeta(White, -MateScore, MateScore, 1), MateScore);
    EXPECT_EQ(pvTable[0][0].fromTo, packed("d1d8"));
    EXPECT_TRUE(board == before);
}

TEST(AlphaBeta, CheckmateAndStalemateAtTheRoot) {
    struct Case {
        const char* fen;
        int         expected;
    } cases[] = {
        {"rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq -", -MateScore},  // fool's mate
        {"7k/5Q2/6K1/8/8/8/8/8 b - -", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fen);
        setFen(c.fen);
        const Board before = board;
        for (int depth = 1; depth <= 3; ++depth) {
            startSearch();
            EXPECT_EQ(alphaBeta(board.sideToMove, -MateScore, MateScore, depth), c.expected);
            EXPECT_TRUE(isZero(pvTable[0][0]));
            HashEntry entry{};
            EXPECT_FALSE(probeHash(&entry)) << "a node without a best move stores nothing";
        }
        EXPECT_TRUE(board == before);
    }
}

// The search plays g1f3 h8g8 f3g1 g8h8 below the root and meets the root position again at
// ply 4. Line keys and counts are set as alphaBeta sets them on the way down.
TEST(AlphaBeta, RepetitionOnTheLineIsADraw) {
    const char* line[] = {"g1f3", "h8g8", "f3g1", "g8h8"};
    struct Case {
        const char* what;
        int         resetAt;  // ply whose count a pawn move or capture would reset; 0 none
        bool        draw;
    } cases[] = {
        {"recurrence four plies below the root", 0, true},
        {"walk stops at a reset count", 1, false},
        {"no walk from a reset count", 4, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        setFen("7k/8/8/8/8/8/8/1Q4NK w - -");  // White a queen and a knight up
        const Board before = board;
        startSearch();
        Move made[4];
        int  p = 0;
        for (const char* coords : line) {
            ASSERT_TRUE(coordsToMove(coords, &made[p]));
            pathKeys[p] = board.hashKey;
            makeMove(made[p]);
            ++p;
            reversibleCount[p] = p == c.resetAt ? 0 : reversibleCount[p - 1] + 1;
        }
        searchPly       = p;
        const int score = alphaBeta(White, -MateScore, MateScore, 1);
        searchPly       = 0;
        if (c.draw) {
            EXPECT_EQ(score, 0);
        } else {
            EXPECT_GT(score, 1000);
        }
        while (p > 0) unmakeMove(made[--p]);
        EXPECT_TRUE(board == before);
    }
}

// The same position reached by moves before the root is searched as any other root.
TEST(AlphaBeta, PositionsBeforeTheRootDoNotCount) {
    const ThinkLimits fixed = {NoTimeLimit, NoTimeLimit, 4, false, nullptr};
    Move              move{};
    // The knights leave no back-rank square, so the evaluation cannot tell the two apart.
    const char* fen = "4k3/8/8/3n4/3N4/8/8/Q3K3 w - -";
    setFen(fen);
    const int           fromFen  = thinkMove(White, &move, fixed);
    const std::uint64_t fenNodes = searchNodes;
    for (const char* coords : {"d4f3", "d5f6", "f3d4", "f6d5"}) {
        ASSERT_TRUE(coordsToMove(coords, &move));
        makeMove(move);
    }
    EXPECT_EQ(thinkMove(White, &move, fixed), fromFen);
    EXPECT_EQ(searchNodes, fenNodes);
    EXPECT_GT(fromFen, 1000);
}

TEST(Quiesce, SearchesOnlyTheCapturesItMay) {
    struct Case {
        const char* what;
        const char* fen;
        bool        searchesAMove;
    } cases[] = {
        {"knight takes an undefended pawn: never", "4k3/8/8/3p4/8/4N3/8/4K3 w - -", false},
        {"en passant: never", "4k3/8/8/3pP3/8/8/8/4K3 w - d6", false},
        {"knight takes an undefended knight", "4k3/8/8/3n4/8/4N3/8/4K3 w - -", true},
        {"queen takes a defended rook: never", "4k3/8/2p5/3r4/8/8/3Q4/4K3 w - -", false},
        {"bishop takes a defended knight: never", "4k3/8/2p5/3n4/8/5B2/8/4K3 w - -", false},
        {"rook takes a defended queen", "4k3/8/2p5/3q4/8/8/3R4/4K3 w - -", true},
        {"knight takes a defended knight", "4k3/8/2p5/3n4/8/4N3/8/4K3 w - -", true},
        {"in check, the king takes the checking pawn", "4k3/8/8/8/8/8/3p4/4K3 w - -", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        setFen(c.fen);
        const Board before = board;
        startSearch();
        const int score = quiesce(White, -MateScore, MateScore);
        EXPECT_EQ(searchNodes > 1, c.searchesAMove);
        if (!c.searchesAMove) {
            EXPECT_EQ(score, evaluate(White, -MateScore, MateScore));
        }
        EXPECT_TRUE(board == before);
    }
}

TEST(Quiesce, InCheckWithoutEvasionsIsMate) {
    setFen("rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq -");
    startSearch();
    EXPECT_EQ(quiesce(White, -MateScore, MateScore), -MateScore);
}

TEST(ScoreCapture, ValuesCapturesByVictimDefenceAndPromotion) {
    struct Case {
        const char* fen;
        const char* move;
        int         expected;
    } cases[] = {
        {"4k3/8/8/3n4/4P3/8/8/4K3 w - -", "e4d5", 350},          // pawn takes knight
        {"4k3/8/8/3b4/8/4N3/8/4K3 w - -", "e3d5", 355},          // knight takes bishop
        {"4k3/8/8/3n4/8/8/6B1/4K3 w - -", "g2d5", 350},          // bishop takes a loose knight
        {"4k3/8/2p5/3n4/8/8/6B1/4K3 w - -", "g2d5", -5},         // ... a defended one
        {"4k3/8/2p5/3r4/8/8/3Q4/4K3 w - -", "d2d5", -550},       // queen takes a defended rook
        {"1n2k3/P7/8/8/8/8/8/4K3 w - -", "a7b8q", 1450},         // capture and promotion
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.move);
        setFen(c.fen);
        clearTables();
        Move move{};
        ASSERT_TRUE(coordsToMove(c.move, &move));
        scoreCapture(move, White);
        EXPECT_EQ(move.score, c.expected);
        captureKiller(White) = move.fromTo;
        scoreCapture(move, White);
        EXPECT_EQ(move.score, c.expected + 100);
    }
    clearTables();
}

TEST(NextMove, GivesHashMoveSortedCapturesKillerThenQuietMoves) {
    setFen("4k3/8/8/3p4/2n5/4N3/8/R3K3 w Q -");
    startSearch();
    quietKiller(White) = packed("a1a7");
    moveListEnd[0]     = moveStack[0];
    pickerCurrent[0]   = nullptr;
    pickerPhase[0]     = HashMove;
    const int hashMove = packed("e1c1");  // castling as the hash move

    std::vector<int> order;
    for (Move* m; (m = nextMove(White, hashMove)) != nullptr;) order.push_back(m->fromTo);
    ASSERT_GT(order.size(), 6u);
    EXPECT_EQ(order[0], hashMove);
    EXPECT_EQ(order[1], packed("e3c4"));  // knight 350
    EXPECT_EQ(order[2], packed("e3d5"));  // pawn 100
    EXPECT_EQ(order[3], packed("a1a7"));  // the killer
    // The quiet batch repeats the hash move and the killer; alphaBeta skips them.
    const auto later = [&](int move) { return std::count(order.begin() + 4, order.end(), move); };
    EXPECT_EQ(later(hashMove), 1);
    EXPECT_EQ(later(packed("a1a7")), 1);
    EXPECT_EQ(later(packed("e3c4")), 0);
    EXPECT_EQ(pickerPhase[0], Done);
}

TEST(UpdatePv, PrefixesTheChildLine) {
    clearSearchState();
    const Move a{1, Pawn, 0, 0}, b{2, Pawn, 0, 0}, c{3, Pawn, 0, 0};
    pvTable[2][0] = b;
    pvTable[2][1] = c;
    searchPly     = 1;
    updatePv(a);
    EXPECT_EQ(pvTable[1][0].fromTo, 1);
    EXPECT_EQ(pvTable[1][1].fromTo, 2);
    EXPECT_EQ(pvTable[1][2].fromTo, 3);
    EXPECT_EQ(pvTable[1][3].fromTo, 0);
    searchPly = MaxPly - 1;  // the last ply has no room for a line
    updatePv(a);
    EXPECT_EQ(pvTable[MaxPly - 1][0].fromTo, 0);
    searchPly = 0;
}
