#include "engine_fixture.h"
#include "records/game.h"

TEST(SetupStartPosition, SetsEveryField) {
    gameMoves[0] = Move{0x123, 1, 0, 0};
    setFen("8/8/8/4k3/8/8/8/4K3 b - -");
    setupStartPosition();
    EXPECT_EQ(board.occupied(), 0xFFFF00000000FFFFull);
    EXPECT_EQ(board.colourBits[White], 0xFFFFull);
    EXPECT_EQ(board.colourBits[Black], 0xFFFF000000000000ull);
    EXPECT_EQ(board.material[White], 5610);
    EXPECT_EQ(board.material[Black], 5610);
    EXPECT_EQ(board.epSquare, NoSquare);
    EXPECT_EQ(board.sideToMove, White);
    EXPECT_EQ(board.kingSquare[White], 4);
    EXPECT_EQ(board.kingSquare[Black], 60);
    for (int s = 0; s < 64; ++s) EXPECT_EQ(board.movedFrom[s], 0);
    EXPECT_EQ(gameMoves[0].fromTo, 0);
    EXPECT_EQ(gameMoves[0].piece, 0);
    // All four castling keys and no side key.
    std::uint64_t castling = 0;
    for (int right = 0; right < 4; ++right) castling ^= zobristKeys[White][0][right];
    EXPECT_EQ(board.hashKey, positionalKey() ^ castling);
    expectConsistentBoard();
}
