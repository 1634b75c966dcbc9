#include "engine/attacks.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "book/book.h"

Bitboard      squareBit[64];
int           rotFilesIndex[64];
int           rotA8H1Index[64];
int           rotA1H8Index[64];
int           rotA8H1Shift[64];
int           rotA1H8Shift[64];
Bitboard      pawnAttacks[2][64];
Bitboard      pawnPushes[2][64];
Bitboard      knightAttacks[64];
Bitboard      kingAttacks[64];
Bitboard      rankAttacks[64][256];
Bitboard      fileAttacks[64][256];
Bitboard      diagA8H1Attacks[64][256];
Bitboard      diagA1H8Attacks[64][256];
Bitboard      passedPawnMask[2][64];
std::int32_t  firstBitTable[65536];
std::uint64_t zobristKeys[2][8][64];

namespace {

// State of random32: 55 words and the two lag indices. It starts from the seed table and
// is never reseeded, so the Zobrist keys (and every book built on them) never change.
struct LaggedFibonacci {
    std::uint32_t s[55];
    int           j, k;
};

// clang-format off
LaggedFibonacci keyGenerator = {
    {0x5414D5F4, 0xB3935330, 0xD0773E27, 0xAC62A182, 0x5DB20C92, 0xC1E618AC, 0xD003926A,
     0x171FA3B3, 0x9AD12101, 0x762172C1, 0xBC5D9DC3, 0x07B72A70, 0x6E5AC890, 0xF7BE54D1,
     0x0D6332FA, 0x56BA8FBE, 0xEBA585EC, 0x571421C5, 0x96B3C079, 0x12EB9B92, 0xC07C0978,
     0x0700C5BD, 0x31A43513, 0x74EBA4AA, 0x4EC55DB5, 0x2C91C2E9, 0x208771F6, 0x304EE204,
     0x1E004673, 0xF3AC22F9, 0xA8561FEB, 0xDED13435, 0xD03E7513, 0xDAE66BC2, 0x01C20BE1,
     0x46638997, 0xFB26CE62, 0x01F87FC3, 0xC0016099, 0x44429270, 0xB04F4481, 0xF31B8AD7,
     0x86DD7A46, 0x03E72091, 0x96A22589, 0x74DCB7D4, 0x12D0FC03, 0x474A16E8, 0x2FF5717C,
     0x54BDED92, 0x783A9487, 0xE767978C, 0x3052D5CD, 0x16ECA191, 0x8EAF6D15},
    23, 54};
// clang-format on

Bitboard bit(int square) { return Bitboard{1} << square; }

void fillSquareTables() {
    for (int s = 0; s < 64; ++s) {
        const int f = fileOf(s), r = rankOf(s);
        squareBit[s]     = bit(s);
        rotFilesIndex[s] = f * 8 + 7 - r;
        rotA8H1Index[s]  = ((r + f) & 7) * 8 + f;
        rotA1H8Index[s]  = ((r - f) & 7) * 8 + f;
        rotA8H1Shift[s]  = ((r + f) & 7) * 8;
        rotA1H8Shift[s]  = ((r - f) & 7) * 8;
    }
}

void fillZobristKeys() {
    std::memset(zobristKeys, 0, sizeof zobristKeys);
    for (int colour = 0; colour < 2; ++colour)
        for (int slot = 0; slot < 7; ++slot)
            for (int s = 0; s < 64; ++s) zobristKeys[colour][slot][s] = random64();
}

void fillStepTables(int s) {
    const int f = fileOf(s), r = rankOf(s);
    if (r != 7) {
        if (f != 7) pawnAttacks[White][s] |= bit(s + 9);
        if (f != 0) pawnAttacks[White][s] |= bit(s + 7);
        pawnPushes[White][s] |= bit(s + 8);
        if (r == 1) pawnPushes[White][s] |= bit(s + 16);
    }
    if (r != 0) {
        if (f != 0) pawnAttacks[Black][s] |= bit(s - 9);
        if (f != 7) pawnAttacks[Black][s] |= bit(s - 7);
        pawnPushes[Black][s] |= bit(s - 8);
        if (r == 6) pawnPushes[Black][s] |= bit(s - 16);
    }
    static constexpr int knightSteps[8][2] = {{1, 2}, {2, 1}, {2, -1}, {1, -2},
                                              {-1, -2}, {-2, -1}, {-2, 1}, {-1, 2}};
    for (const auto& step : knightSteps) {
        const int tf = f + step[0], tr = r + step[1];
        if (tf >= 0 && tf < 8 && tr >= 0 && tr < 8) knightAttacks[s] |= bit(tr * 8 + tf);
    }
    kingAttacks[s] = pawnAttacks[White][s] | pawnAttacks[Black][s];
    if (r != 7) kingAttacks[s] |= bit(s + 8);
    if (r != 0) kingAttacks[s] |= bit(s - 8);
    if (f != 7) kingAttacks[s] |= bit(s + 1);
    if (f != 0) kingAttacks[s] |= bit(s - 1);
}

void fillSliderTables(int s) {
    const int f = fileOf(s), r = rankOf(s);
    for (int o = 0; o < 256; ++o) {
        Bitboard attacks = 0;
        for (int tf = f + 1; tf <= 7; ++tf) {
            attacks |= bit(r * 8 + tf);
            if (o & (1 << tf)) break;
        }
        for (int tf = f - 1; tf >= 0; --tf) {
            attacks |= bit(r * 8 + tf);
            if (o & (1 << tf)) break;
        }
        rankAttacks[s][o] = attacks;

        attacks = 0;
        for (int tr = r + 1; tr <= 7; ++tr) {
            attacks |= bit(tr * 8 + f);
            if (o & (1 << (7 - tr))) break;
        }
        for (int tr = r - 1; tr >= 0; --tr) {
            attacks |= bit(tr * 8 + f);
            if (o & (1 << (7 - tr))) break;
        }
        fileAttacks[s][o] = attacks;

        attacks = 0;
        if (f != 0)
            for (int t = s + 7; t < 64; t += 7) {
                attacks |= bit(t);
                if (fileOf(t) == 0 || (o & (1 << (t & 7)))) break;
            }
        if (f != 7)
            for (int t = s - 7; t >= 0; t -= 7) {
                attacks |= bit(t);
                if (fileOf(t) == 7 || (o & (1 << (t & 7)))) break;
            }
        diagA8H1Attacks[s][o] = attacks;

        attacks = 0;
        if (f != 0)
            for (int t = s - 9; t >= 0; t -= 9) {
                attacks |= bit(t);
                if (fileOf(t) == 0 || (o & (1 << (t & 7)))) break;
            }
        if (f != 7)
            for (int t = s + 9; t < 64; t += 9) {
                attacks |= bit(t);
                if (fileOf(t) == 7 || (o & (1 << (t & 7)))) break;
            }
        diagA1H8Attacks[s][o] = attacks;
    }
}

void fillPassedPawnMasks(int s) {
    const int f = fileOf(s), r = rankOf(s);
    for (int tr = 0; tr < 8; ++tr) {
        if (tr == r) continue;
        Bitboard line = bit(tr * 8 + f);
        if (f != 0) line |= bit(tr * 8 + f - 1);
        if (f != 7) line |= bit(tr * 8 + f + 1);
        passedPawnMask[tr > r ? White : Black][s] |= line;
    }
}

void fillAttackTables() {
    std::memset(pawnAttacks, 0, sizeof pawnAttacks);
    std::memset(pawnPushes, 0, sizeof pawnPushes);
    std::memset(knightAttacks, 0, sizeof knightAttacks);
    std::memset(kingAttacks, 0, sizeof kingAttacks);
    std::memset(passedPawnMask, 0, sizeof passedPawnMask);
    for (int s = 0; s < 64; ++s) {
        fillStepTables(s);
        fillSliderTables(s);
        fillPassedPawnMasks(s);
    }
}

void fillFirstBitTable() {
    firstBitTable[0] = 64;
    for (int v = 1; v < 65536; ++v) {
        int index = 0;
        while (!(v & (1 << index))) ++index;
        firstBitTable[v] = index;
    }
}

}  // namespace

std::uint32_t random32() {
    LaggedFibonacci& g = keyGenerator;
    g.s[g.k] += g.s[g.j];
    const std::uint32_t result = g.s[g.k];
    g.j = g.j == 0 ? 54 : g.j - 1;
    g.k = g.k == 0 ? 54 : g.k - 1;
    return result;
}

std::uint64_t random64() {
    const std::uint64_t low = random32();
    return (std::uint64_t{random32()} << 32) | low;
}

void initEngine() {
    setBookPath("book.dat");
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    fillSquareTables();
    fillZobristKeys();
    fillAttackTables();
    fillFirstBitTable();
}
