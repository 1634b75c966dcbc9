#include <gtest/gtest.h>

#include <sstream>

#include "engine/attacks.h"
#include "engine/coords.h"
#include "engine/makemove.h"
#include "records/fen.h"
#include "records/game.h"

namespace {

// Plays coordinate moves from the start as the current game's moves.
void playGame(const char* line) {
    setupStartPosition();
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
        // The a1 rook is taken on its corner without ever moving: the letter stays.
        {"b2b3 g7g6 a2a3 f8g7 a3a4 g7a1",
         "rnbqk1nr/pppppp1p/6p1/8/P7/1P6/2PPPPPP/bNBQKBNR w KQkq - 0 4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        playGame(c.line);
        char text[128];
        boardToText(text, sizeof text);
        EXPECT_STREQ(text, c.fen);
    }
    char small[8] = "keep";
    boardToText(small, sizeof small);
    EXPECT_STREQ(small, "keep");
    char cut[20];
    boardToText(cut, sizeof cut);
    EXPECT_EQ(std::string(cut).size(), 19u);
}
