#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "engine/movegen.h"
#include "engine_fixture.h"

namespace {

using Generator = Move* (*)(int, Move*);

// The moves of a generator as coordinate texts, in output order.
std::vector<std::string> listOf(Generator generate, int side) {
    Move  moves[512];
    Move* end = generate(side, moves);
    std::vector<std::string> texts;
    for (Move* m = moves; m != end; ++m) {
        char text[8];
        moveToCoords(*m, text);
        texts.push_back(text);
    }
    return texts;
}

std::string joined(const std::vector<std::string>& texts) {
    std::string all;
    for (const std::string& t : texts) all += (all.empty() ? "" : " ") + t;
    return all;
}

}  // namespace

TEST(Generators, InitialPositionOrder) {
    setupStartPosition();
    const std::string expected = "a2a3 a2a4 b2b3 b2b4 c2c3 c2c4 d2d3 d2d4 e2e3 e2e4 f2f3 f2f4 "
                                 "g2g3 g2g4 h2h3 h2h4 b1a3 b1c3 g1f3 g1h3";
    EXPECT_EQ(joined(listOf(genAllMoves, White)), expected);
    EXPECT_EQ(joined(listOf(genNonCaptures, White)), expected);
    EXPECT_TRUE(listOf(genCaptures, White).empty());
}

TEST(Generators, PromotionsQueenFirstCapturesBeforePushes) {
    setFen("r3k3/1P6/8/8/8/8/8/4K3 w - -");
    Move  moves[512];
    Move* end = genAllMoves(White, moves);
    ASSERT_GE(end - moves, 8);
    const int promotionOrder[4] = {Queen, Rook, Bishop, Knight};
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(moves[i].fromTo, 49 * 64 + (i < 4 ? 56 : 57));
        EXPECT_EQ(promotionType(moves[i]), promotionOrder[i % 4]);
        EXPECT_EQ(capturedType(moves[i]), i < 4 ? Rook : 0);
    }
    EXPECT_EQ(joined(listOf(genCaptures, White)), "b7a8q b7a8r b7a8b b7a8n");
    const std::vector<std::string> quiet = listOf(genNonCaptures, White);
    ASSERT_GE(quiet.size(), 4u);
    EXPECT_EQ(joined({quiet.begin(), quiet.begin() + 4}), "b7b8q b7b8r b7b8b b7b8n");
}

TEST(Generators, EnPassantCaptureRecord) {
    ASSERT_TRUE(playLine("e2e4 a7a6 e4e5 d7d5"));
    ASSERT_EQ(board.epSquare, 43);
    Move  moves[512];
    Move* end   = genCaptures(White, moves);
    bool  found = false;
    for (Move* m = moves; m != end; ++m)
        if (m->fromTo == 36 * 64 + 43) {
            found = true;
            EXPECT_EQ(m->flags, 43 * 8 + 0x401);
        }
    EXPECT_TRUE(found);
}

TEST(Generators, CastlingConditions) {
    struct Case { const char* name; const char* fen; const char* line; std::vector<std::string> castles; };
    const Case cases[] = {
        {"both sides free", "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "", {"e1c1", "e1g1"}},
        {"king went away and back", "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "e1e2 a8b8 e2e1 b8a8", {}},
        {"rook went away and back", "r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "h1h2 a8b8 h2h1 b8a8", {"e1c1"}},
        {"bishop attacks f1", "r3k2r/8/8/8/8/8/6b1/R3K2R w KQkq -", "", {"e1c1"}},
        {"bishop attacks only b1", "r3k2r/8/8/8/8/8/b7/R3K2R w KQkq -", "", {"e1c1", "e1g1"}},
        {"knight blocks b1", "r3k2r/8/8/8/8/8/8/RN2K2R w KQkq -", "", {"e1g1"}},
        {"in check", "r3k2r/8/8/8/8/8/4r3/R3K2R w KQkq -", "", {}},
        {"rights absent", "r3k2r/8/8/8/8/8/8/R3K2R w kq -", "", {}},
        {"black side", "r3k2r/8/8/8/8/8/8/R3K2R b KQkq -", "", {"e8c8", "e8g8"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setFen(c.fen);
        std::istringstream tokens(c.line);
        std::string        token;
        while (tokens >> token) {
            Move m{};
            ASSERT_TRUE(coordsToMove(token.c_str(), &m)) << token;
            makeMove(m);
        }
        const int side = board.sideToMove;
        std::vector<std::string> castles;
        for (const std::string& text : listOf(genAllMoves, side))
            if ((text == "e1c1" || text == "e1g1" || text == "e8c8" || text == "e8g8")) castles.push_back(text);
        EXPECT_EQ(castles, c.castles);
        // genNonCaptures ends with the same castling moves; moveFromCoords accepts exactly them.
        const std::vector<std::string> quiet = listOf(genNonCaptures, side);
        ASSERT_GE(quiet.size(), c.castles.size());
        EXPECT_EQ(std::vector<std::string>(quiet.end() - c.castles.size(), quiet.end()), c.castles);
        const int home = side == White ? 4 : 60;
        for (int to : {home - 2, home + 2}) {
            Move m{};
            const bool accepted = moveFromCoords(&m, side, home * 64 + to);
            char text[8] = "";
            if (accepted) moveToCoords(m, text);
            EXPECT_EQ(accepted, std::find(c.castles.begin(), c.castles.end(), text) != c.castles.end());
            if (accepted) {
                EXPECT_TRUE(m.flags & CastleFlag);
            }
        }
    }
}

TEST(Generators, EvasionOrders) {
    struct Case { const char* name; const char* fen; const char* evasions; };
    const Case cases[] = {
        // Captures of the rook first, then king moves, then blocks nearest the king first.
        {"rook checks down the file", "4r2k/8/8/8/B7/1B6/R7/4K3 w - - 0 1",
         "a4e8 e1d1 e1f1 e1d2 e1f2 a2e2 b3e6"},
        {"double check: king moves only", "4r2k/8/8/8/8/5n2/8/4K3 w - - 0 1", "e1d1 e1f1 e1f2"},
        {"pawn check taken en passant", "8/8/8/2k5/3Pp3/8/8/4K3 b - d3 0 1",
         "e4d3 c5d4 c5b4 c5c4 c5b5 c5d5 c5b6 c5c6 c5d6"},
        // Stepping back along the checking line is listed; its user rejects it afterwards.
        {"step back along the line", "4k3/8/8/8/8/8/8/r3K3 w - - 0 1", "e1f1 e1d2 e1e2 e1f2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setFen(c.fen);
        EXPECT_EQ(joined(listOf(genEvasions, board.sideToMove)), c.evasions);
    }
}

TEST(MoveFromCoords, RefusesWhatCannotBeAMove) {
    setupStartPosition();
    struct Case { int packed; bool accepted; };
    const Case cases[] = {{0, false},              // no move
                          {28 * 64 + 36, false},   // e4 is empty
                          {1 * 64 + 19, false},    // b1-d3: a bishop's move for a knight
                          {1 * 64 + 18, true},     // b1-c3
                          {12 * 64 + 28, true},    // e2-e4
                          {12 * 64 + 36, false},   // e2-e5
                          {4 * 64 + 6, false},     // castling through pieces
                          {3 * 64 + 11, false}};   // onto an own pawn
    for (const Case& c : cases) {
        SCOPED_TRACE(c.packed);
        Move m{};
        EXPECT_EQ(moveFromCoords(&m, White, c.packed), c.accepted);
    }
    setFen("4k3/P7/8/8/8/8/8/4K3 w - -");
    Move m{};
    ASSERT_TRUE(moveFromCoords(&m, White, 48 * 64 + 56));
    EXPECT_EQ(promotionType(m), Queen);
}
