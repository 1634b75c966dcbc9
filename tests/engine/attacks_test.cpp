#include <bit>

#include "engine_fixture.h"

TEST(Keys, ComeFromTheFixedGenerator) {
    // The first four draws of the generator make the first two keys.
    EXPECT_EQ(zobristKeys[White][0][0], 0x4890D6A4039B11BFull);
    EXPECT_EQ(zobristKeys[White][0][1], 0xA7E3A10437539B8Aull);
    for (int s = 0; s < 64; ++s) {
        EXPECT_EQ(zobristKeys[White][7][s], 0u);
        EXPECT_EQ(zobristKeys[Black][7][s], 0u);
    }
}

TEST(Keys, OpeningPositionsHaveTheirKnownKeys) {
    struct Case { const char* line; std::uint64_t key; };
    const Case cases[] = {{"b2b3", 0x38C177725DE22522ull}, {"f2f4", 0x1BEC8AB043C5AA24ull}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ASSERT_TRUE(playLine(c.line));
        EXPECT_EQ(board.hashKey, c.key);
    }
}

TEST(BitOperations, AgreeWithTheStandardLibrary) {
    EXPECT_EQ(firstBitTable[0], 64);
    for (int v = 1; v < 65536; ++v) ASSERT_EQ(firstBitTable[v], std::countr_zero(unsigned(v)));
    EXPECT_EQ(firstOne(Bitboard{1} << 63), 63);
    EXPECT_EQ(firstOne((Bitboard{1} << 63) | 1), 0);
    std::uint64_t x = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < 10000; ++i) {
        x ^= x << 13, x ^= x >> 7, x ^= x << 17;
        const Bitboard sets[] = {x, x & (x >> 5), x & 0xFFFF000000000000ull, x & 0x0000FFFF00000000ull};
        for (Bitboard set : sets) {
            if (set) {
                ASSERT_EQ(firstOne(set), std::countr_zero(set));
            }
            ASSERT_EQ(popCount(set), std::popcount(set));
        }
    }
}

TEST(AttackTables, SliderLookupsMatchTheirDescriptions) {
    EXPECT_EQ(rankAttacks[0][0x01], 0xFEull);                  // a1, only itself: b1..h1
    EXPECT_EQ(rankAttacks[0][0x09], 0x0Eull);                  // blocker on d1: b1, c1, d1
    EXPECT_EQ(fileAttacks[4][1 << 4], (Bitboard{1} << 12) | (Bitboard{1} << 20) | (Bitboard{1} << 28));
}

TEST(AttackTables, RotatedLookupsAgreeWithRayWalking) {
    // Random occupancies: every slider lookup equals a plain walk along the rays.
    std::uint64_t x = 0x2545F4914F6CDD1Dull;
    for (int trial = 0; trial < 200; ++trial) {
        x ^= x << 13, x ^= x >> 7, x ^= x << 17;
        Board& b = board;
        b        = Board{};
        const Bitboard occupancy = x & (x >> 3);
        for (Bitboard o = occupancy; o; o &= o - 1) {
            const int s = firstOne(o);
            b.occupied() |= squareBit[s];
            b.occupiedFiles() |= squareBit[rotFilesIndex[s]];
            b.occupiedDiagA8H1() |= squareBit[rotA8H1Index[s]];
            b.occupiedDiagA1H8() |= squareBit[rotA1H8Index[s]];
        }
        for (int s = 0; s < 64; ++s) {
            auto walk = [&](int df, int dr) {
                Bitboard set = 0;
                for (int f = fileOf(s) + df, r = rankOf(s) + dr; f >= 0 && f < 8 && r >= 0 && r < 8;
                     f += df, r += dr) {
                    set |= squareBit[r * 8 + f];
                    if (occupancy & squareBit[r * 8 + f]) break;
                }
                return set;
            };
            ASSERT_EQ(rookAttacksFrom(s), walk(1, 0) | walk(-1, 0) | walk(0, 1) | walk(0, -1));
            ASSERT_EQ(bishopAttacksFrom(s), walk(1, 1) | walk(-1, -1) | walk(1, -1) | walk(-1, 1));
        }
    }
    setupStartPosition();
}

TEST(IsAttacked, InTheInitialPosition) {
    setupStartPosition();
    struct Case { int square, side; bool attacked; };
    const Case cases[] = {{20, White, true},  {28, White, false}, {21, White, true},
                          {NoSquare, White, false}, {NoSquare, Black, false},
                          {44, Black, true},  {36, Black, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.square);
        EXPECT_EQ(isAttacked(c.square, c.side), c.attacked);
    }
}
