#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "engine/attacks.h"
#include "engine/coords.h"
#include "engine/makemove.h"
#include "records/fen.h"
#include "records/game.h"

namespace {

// Plays coordinate moves from the start as the current game's moves.
// Plays coordinate moves as the current game, from gameHeader.fen's position.
void playGame(const char* line) {
    ASSERT_TRUE(setupGameStart());
    gamePly = 0;
    std::istringstream tokens(line);
    std::string        token;
    while (tokens >> token) {
        Move m{};
        ASSERT_TRUE(coordsToMove(token.c_str(), &m)) << token;
        makeMove(m);
        gameMoves[gamePly++] = m;
    }
}

}  // namespace

TEST(BoardToText, KnownPositions) {
    struct Case { const char* line; const char* fen; };
    const Case cases[] = {
        {"", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"},
        {"e2e4", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1"},
        {"e2e4 e7e5", "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 2"},
        {"e2e4 a7a6 e4e5 d7d5", "rnbqkbnr/1pp1pppp/p7/3pP3/8/8/PPPP1PPP/RNBQKBNR w KQkq d6 0 3"},
        // The a1 rook is taken on its corner without ever moving: its letter goes.
        {"b2b3 g7g6 a2a3 f8g7 a3a4 g7a1",
         "rnbqk1nr/pppppp1p/6p1/8/P7/1P6/2PPPPPP/bNBQKBNR w Kkq - 0 4"},
        {"g2g4 b7b6 a2a3 c8b7 a3a4 b7h1",
         "rn1qkbnr/p1pppppp/1p6/8/P5P1/8/1PPPPP1P/RNBQKBNb w Qkq - 0 4"},
        // The half-move clock counts the plies since the last capture or pawn move.
        {"g1f3 g8f6 f3g1 f6g8", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 4 3"},
        {"e2e4 d7d5 e4d5 d8d5 b1c3", "rnb1kbnr/ppp1pppp/8/3q4/8/2N5/PPPP1PPP/R1BQKBNR b KQkq - 1 3"},
    };
    gameHeader.fen[0] = '\0';
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        playGame(c.line);
        char text[128];
        boardToText(text, sizeof text);
        EXPECT_STREQ(text, c.fen);
    }
    // A game from a set-up position continues its FEN's counters.
    std::strcpy(gameHeader.fen, "4k3/8/8/8/8/8/8/4K2R b K - 7 30");
    playGame("e8d8 e1g1");
    char text[128];
    boardToText(text, sizeof text);
    EXPECT_STREQ(text, "3k4/8/8/8/8/8/8/5RK1 b - - 9 31");
    gameHeader.fen[0] = '\0';
    char small[8] = "keep";
    boardToText(small, sizeof small);
    EXPECT_STREQ(small, "keep");
    char cut[20];
    boardToText(cut, sizeof cut);
    EXPECT_EQ(std::string(cut).size(), 19u);
}
