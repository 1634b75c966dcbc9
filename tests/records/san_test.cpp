#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <vector>

#include "engine/perft.h"
#include "engine/search.h"
#include "records_fixture.h"

namespace {

// The position a case starts from: a SAN line from the start, or a FEN where a line would be
// contrived.
void reach(const char* line, const char* fen) {
    if (fen) {
        setFen(fen);
    } else {
        ASSERT_TRUE(playSan(line)) << line;
    }
}

bool readToken(const char* token, Move* out) {
    return sanToMove(token, static_cast<int>(std::strlen(token)) - 1, out);
}

std::string sanOf(const char* coords) {
    Move        list[MaxMovesPerPly];
    Move* const end = genLegalMoves(list);
    for (Move* m = list; m != end; ++m) {
        char text[8];
        moveToCoords(*m, text);
        if (std::strcmp(text, coords) == 0) {
            char san[8];
            EXPECT_TRUE(moveToSan(*m, san));
            return san;
        }
    }
    return "(no such move)";
}

}  // namespace

TEST(San, ReadsTokens) {
    struct Case { const char* line; const char* fen; const char* token; const char* coords; };
    // coords nullptr: the token must be refused.
    const Case cases[] = {
        {"", nullptr, "Nf3", "g1f3"},
        {"", nullptr, "Nf3+", "g1f3"},
        {"", nullptr, "Nf3!?", "g1f3"},
        {"", nullptr, "Nf3#", "g1f3"},
        {"", nullptr, "e4", "e2e4"},
        {"", nullptr, "e3", "e2e3"},
        {"", nullptr, "Ng1f3", "g1f3"},
        {"", nullptr, "Ng3", nullptr},
        {"", nullptr, "Pe4", nullptr},
        {"", nullptr, "e5", nullptr},          // no pawn two squares behind
        {"", nullptr, "Nf3+++++++", nullptr},  // ten characters: never read
        {"", nullptr, "Qd1h5", nullptr},       // the named origin must reach the square
        {"", nullptr, "nf3", nullptr},
        {"e4 d5", nullptr, "exd5", "e4d5"},
        {"e4 d5", nullptr, "ed5", "e4d5"},
        {"e4 d5", nullptr, "e4d5", "e4d5"},
        {"e4 d5", nullptr, "exd5!!", "e4d5"},
        {"e4 d5 Nc3 a6", nullptr, "cxd5", nullptr},  // no pawn on c4
        {"a4 b5 h4 e5", nullptr, "axb5", "a4b5"},
        {"a4 b5 h4 g5", nullptr, "hxg5", "h4g5"},
        {"a4 b5 h4 h5", nullptr, "axh5", nullptr},    // a pawn takes on a neighbouring file only
        {"e4 e5 d4 a6", nullptr, "exe5", nullptr},
        {"e4 a6 e5 d5", nullptr, "exd6", "e5d6"},     // en passant
        {"e4 a6 e5 d5 a3 a5", nullptr, "exd6", nullptr},  // too late
        {nullptr, "k7/4P3/8/8/8/8/8/4K3 w - -", "e8Q", "e7e8q"},
        {nullptr, "k7/4P3/8/8/8/8/8/4K3 w - -", "e8=Q", "e7e8q"},
        {nullptr, "k7/4P3/8/8/8/8/8/4K3 w - -", "e8=N+", "e7e8n"},
        {nullptr, "k7/4P3/8/8/8/8/8/4K3 w - -", "e8", nullptr},   // promotion letter missing
        {nullptr, "k7/4P3/8/8/8/8/8/4K3 w - -", "e7=Q", nullptr},  // not the last rank
        {nullptr, "k7/4P3/8/8/8/8/8/4K3 w - -", "e1=Q", nullptr},
        {nullptr, "3rk3/4P3/8/8/8/8/8/4K3 w - -", "exd8=R+", "e7d8r"},
        {nullptr, "4k3/8/8/8/8/8/4p3/K7 b - -", "e1=Q+", "e2e1q"},
        {nullptr, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "O-O", "e1g1"},
        {nullptr, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "0-0", "e1g1"},
        {nullptr, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "o-o", "e1g1"},
        {nullptr, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "O-O-O", "e1c1"},
        {nullptr, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "0-0-0+", "e1c1"},
        {nullptr, "r3k2r/8/8/8/8/8/8/R3K2R b KQkq -", "O-O-O", "e8c8"},
        {nullptr, "r3k2r/8/8/8/8/8/8/R3K2R w - -", "O-O", nullptr},
        {nullptr, "3k4/8/8/8/8/8/8/3KR3 w - -", "O-O", nullptr},  // a rook on e1 does not castle
        {nullptr, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "Kg1", nullptr},
        // Knights on b1 and f3 both reach d2: the lower square wins.
        {"d4 d5 Nf3 Nf6", nullptr, "Nd2", "b1d2"},
        {"d4 d5 Nf3 Nf6", nullptr, "Nfd2", "f3d2"},
        {"d4 d5 Nf3 Nf6", nullptr, "N3d2", "f3d2"},
        // The f3 knight is pinned: Nd2 is the b1 knight, and Nfd2 is illegal.
        {nullptr, "4k3/8/8/3b4/8/5N2/8/1N5K w - -", "Nd2", "b1d2"},
        {nullptr, "4k3/8/8/3b4/8/5N2/8/1N5K w - -", "Nfd2", nullptr},
        {nullptr, "4k3/8/8/R7/8/8/8/R3K3 w - -", "R5a3", "a5a3"},
        {nullptr, "4k3/8/8/8/8/Q7/8/Q1Q1K3 w - -", "Qa1c3", "a1c3"},
        {nullptr, "4k3/8/8/8/8/Q7/8/Q1Q1K3 w - -", "Qcc3", "c1c3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.fen ? c.fen : c.line) + " : " + c.token);
        reach(c.line, c.fen);
        const Board before = board;
        Move        move{};
        const bool  read = readToken(c.token, &move);
        EXPECT_EQ(board, before);
        if (!c.coords) {
            EXPECT_FALSE(read);
            continue;
        }
        ASSERT_TRUE(read);
        Move expected{};
        ASSERT_TRUE(coordsToMove(c.coords, &expected));
        EXPECT_TRUE(sameMove(move, expected));
    }
}

TEST(San, WritesMoves) {
    struct Case { const char* line; const char* fen; const char* coords; const char* san; };
    const Case cases[] = {
        {"", nullptr, "g1f3", "Nf3"},
        {"e4 d5", nullptr, "e4d5", "exd5"},
        {"e4 a6 e5 d5", nullptr, "e5d6", "exd6"},
        {"d4 d5 Nf3 Nf6", nullptr, "b1d2", "Nbd2"},
        {"d4 d5 Nf3 Nf6", nullptr, "f3d2", "Nfd2"},
        {nullptr, "4k3/8/8/3b4/8/5N2/8/1N5K w - -", "b1d2", "Nd2"},  // pinned twin
        {nullptr, "4k3/8/8/R7/8/8/8/R3K3 w - -", "a1a3", "R1a3"},
        {nullptr, "4k3/8/8/R7/8/8/8/R3K3 w - -", "a5a3", "R5a3"},
        {nullptr, "4k3/8/8/8/8/Q7/8/Q1Q1K3 w - -", "a1c3", "Qa1c3"},
        {nullptr, "4k3/8/8/8/8/Q7/8/Q1Q1K3 w - -", "a3c3", "Q3c3"},
        {nullptr, "4k3/8/8/8/8/Q7/8/Q1Q1K3 w - -", "c1c3", "Qcc3"},
        {nullptr, "3rk3/4P3/8/8/8/8/8/4K3 w - -", "e7d8q", "exd8=Q+"},
        {nullptr, "k7/4P3/8/8/8/8/8/4K3 w - -", "e7e8n", "e8=N"},
        {nullptr, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "e1g1", "O-O"},
        {nullptr, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "e1c1", "O-O-O"},
        {nullptr, "5k2/8/8/8/8/8/8/4K2R w K -", "e1g1", "O-O+"},    // the rook on f1 checks
        {nullptr, "4k3/8/8/8/8/8/4B3/4R1K1 w - -", "e2d3", "Bd3+"},  // discovered check
        {"e4 e5 Bc4 Nc6", nullptr, "c4f7", "Bxf7+"},
        {"e4 f6 d4 g5", nullptr, "d1h5", "Qh5#"},
        {"f3 e5 g4", nullptr, "d8h4", "Qh4#"},
        {nullptr, "4k3/8/8/8/8/8/8/R3K2R w K -", "e1f2", "Kf2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.fen ? c.fen : c.line) + " : " + c.coords);
        reach(c.line, c.fen);
        const Board before = board;
        EXPECT_EQ(sanOf(c.coords), c.san);
        EXPECT_EQ(board, before);
    }
    char* none = nullptr;
    EXPECT_FALSE(moveToSan(Move{}, none));
}

namespace {

// Every legal move below the Board, depth plies deep: its SAN is unique in its position and
// reads back as the same move.
void roundTrip(int depth, int& moves) {
    Move  list[MaxMovesPerPly];
    Move* end = genLegalMoves(list);
    std::set<std::string> seen;
    for (Move* m = list; m != end; ++m) {
        char san[8];
        ASSERT_TRUE(moveToSan(*m, san));
        ASSERT_TRUE(seen.insert(san).second) << "two moves write " << san;
        Move back{};
        ASSERT_TRUE(readToken(san, &back)) << san;
        ASSERT_TRUE(sameMove(back, *m)) << san;
        ++moves;
        if (depth > 1) {
            makeMove(*m);
            roundTrip(depth - 1, moves);
            unmakeMove(*m);
            if (::testing::Test::HasFatalFailure()) return;
        }
    }
}

}  // namespace

TEST(San, EveryMoveOfAShallowTreeReadsBack) {
    std::ifstream in(testData("perft-standard.perft"));
    ASSERT_TRUE(in) << "perft-standard.perft";
    std::string line;
    int         positions = 0, moves = 0;
    while (std::getline(in, line)) {
        if (line.rfind("epd ", 0) != 0) continue;
        SCOPED_TRACE(line);
        setFen(line.c_str() + 4);
        roundTrip(positions < 3 ? 3 : 2, moves);
        if (HasFatalFailure()) return;
        ++positions;
    }
    EXPECT_GE(positions, 10);
    EXPECT_GT(moves, 100000);
}
