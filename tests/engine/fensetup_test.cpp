#include <cstring>

#include "engine/movegen.h"
#include "engine_fixture.h"
#include "records/fen.h"
#include "records/game.h"

TEST(SetupFromFen, MatchesThePositionReachedByMoves) {
    struct Case { const char* fen; const char* line; };
    const Case cases[] = {
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", ""},
        {"rnbqkbnr/pppppppp/8/8/8/1P6/P1PPPPPP/RNBQKBNR b KQkq -", "b2b3"},
        {"rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3", "e2e4 d7d5 e4e5 f7f5"},
        // A double push that no pawn can answer leaves no en-passant square, whatever the text says.
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", "e2e4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fen);
        ASSERT_TRUE(playLine(c.line));
        const Board reached = board;
        setFen(c.fen);
        EXPECT_EQ(board.hashKey, reached.hashKey);
        EXPECT_EQ(board.epSquare, reached.epSquare);
        EXPECT_EQ(std::memcmp(board.pieceBits, reached.pieceBits, sizeof board.pieceBits), 0);
        expectConsistentBoard();
    }
}

TEST(SetupFromFen, ReadsTheBoardTextOfAGameWhoseRookWasTakenAtHome) {
    // 1.b3 g6 2.a3 Bg7 3.a4 Bxa1: the board text keeps "Q" and the hash its key.
    ASSERT_TRUE(playLine("b2b3 g7g6 a2a3 f8g7 a3a4 g7a1"));
    const Board reached = board;
    setFen("rnbqk1nr/pppppp1p/6p1/8/P7/1P6/2PPPPPP/bNBQKBNR w KQkq - 0 4");
    EXPECT_EQ(board.hashKey, reached.hashKey);
    expectConsistentBoard();
    Move castle{};
    EXPECT_FALSE(moveFromCoords(&castle, White, 4 * 64 + 2));
}

TEST(SetupFromFen, AbsentRightsBecomeMovedCorners) {
    setFen("r3k2r/8/8/8/8/8/8/R3K2R w Kq - 5 40");
    EXPECT_EQ(board.movedFrom[0], 1);
    EXPECT_EQ(board.movedFrom[7], 0);
    EXPECT_EQ(board.movedFrom[56], 0);
    EXPECT_EQ(board.movedFrom[63], 1);
    EXPECT_EQ(board.hashKey ^ positionalKey(), zobristKeys[White][0][1] ^ zobristKeys[White][0][2]);
    gamePly = 0;
    char text[128];
    boardToText(text, sizeof text);
    EXPECT_STREQ(text, "r3k2r/8/8/8/8/8/8/R3K2R w Kq - 0 1");
}

TEST(SetupFromFen, RefusesMalformedTextAndKeepsTheBoard) {
    struct Case { const char* fen; const char* reason; };
    const Case cases[] = {
        {"", "placement"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP w KQkq -", "8 ranks"},
        {"rnbqkbnr/pppppppp/9/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", "unexpected character"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR1 w KQkq -", "more than 8 squares"},
        {"rnbqkbnr/ppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", "8 squares"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNX w KQkq -", "unexpected character"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQ1BNR w kq -", "one king"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq -", "side to move"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w", "castling"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkx -", "castling letter"},
        {"rnbq1bnr/ppppkppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", "king at home"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq e4", "en-passant"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq e6", "en-passant"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - x 1", "counters"},
        {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1 extra", "unexpected text"},
        {"P3k3/8/8/8/8/8/8/4K3 w - -", "pawn"},
        {"4k3/8/8/8/8/8/4R3/4K3 w - -", "not to move is in check"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fen);
        ASSERT_TRUE(playLine("e2e4 e7e5"));
        const Board before = board;
        char        error[128] = "";
        EXPECT_FALSE(setupFromFen(c.fen, error, sizeof error));
        EXPECT_NE(std::strstr(error, c.reason), nullptr) << error;
        EXPECT_TRUE(board == before);
    }
}
