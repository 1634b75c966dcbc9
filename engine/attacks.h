// Attack tables, Zobrist keys, bit operations and the attack test. All tables are filled
// once by initEngine and read-only afterwards.
#pragma once

#include <array>
#include <cstdint>

#include "engine/board.h"

inline constexpr std::array<int, 8> pieceValue = {0, 100, 350, 355, 550, 1100, 1200, 0};

extern Bitboard squareBit[64];       // only square n
extern int      rotFilesIndex[64];   // bit of a square in occupiedFiles
extern int      rotA8H1Index[64];    // bit of a square in occupiedDiagA8H1
extern int      rotA1H8Index[64];    // bit of a square in occupiedDiagA1H8
extern int      rotA8H1Shift[64];    // brings a square's byte of occupiedDiagA8H1 to bits 0-7
extern int      rotA1H8Shift[64];    // the same for occupiedDiagA1H8
extern Bitboard pawnAttacks[2][64];  // squares a pawn of that colour attacks
extern Bitboard pawnPushes[2][64];   // single step, plus the double step from the start rank
extern Bitboard knightAttacks[64];
extern Bitboard kingAttacks[64];
extern Bitboard rankAttacks[64][256];      // by rank occupancy, bit j = file j
extern Bitboard fileAttacks[64][256];      // by file occupancy, bit j = rank 7 - j
extern Bitboard diagA8H1Attacks[64][256];  // by diagonal occupancy, bit j = file j
extern Bitboard diagA1H8Attacks[64][256];  // by diagonal occupancy, bit j = file j
extern Bitboard passedPawnMask[2][64];     // the squares ahead on the own and neighbouring files
extern std::int32_t  firstBitTable[65536]; // lowest set bit of a 16-bit value; entry 0 holds 64
// [colour][slot][square]. Slots 1-6 are the pieces. [White][0] holds the special keys:
// squares 0-3 the castling rights WQ, WK, BQ, BK, square 4 Black to move, and the ep squares.
extern std::uint64_t zobristKeys[2][8][64];

// Fills every table and the Zobrist keys; seeds rand with the time, for the book's choices
// between its moves (the one place rand is seeded: a test that seeds it after this keeps its
// seed). Runs once per process: the key generator carries on where it stopped, so a second
// run would give other keys.
void initEngine();

// The key generator: an additive lagged-Fibonacci generator on 32-bit words whose state
// starts from a fixed seed table, so the keys are the same in every run.
std::uint32_t random32();
// Two draws: the first is the low word, the second the high word.
std::uint64_t random64();

// Index of the lowest set square; the set must not be empty.
inline int firstOne(Bitboard set) {
    if (set & 0xFFFF) return firstBitTable[set & 0xFFFF];
    if (set & 0xFFFF0000) return firstBitTable[(set >> 16) & 0xFFFF] + 16;
    if ((set & 0xFFFF00000000) == 0) return firstBitTable[set >> 48] + 48;
    return firstBitTable[(set >> 32) & 0xFFFF] + 32;
}

// Number of set squares, by summing ever wider bit fields.
inline int popCount(Bitboard set) {
    set = (set & 0x5555555555555555) + ((set >> 1) & 0x5555555555555555);
    set = (set & 0x3333333333333333) + ((set >> 2) & 0x3333333333333333);
    set = (set & 0x0F0F0F0F0F0F0F0F) + ((set >> 4) & 0x0F0F0F0F0F0F0F0F);
    set = (set & 0x00FF00FF00FF00FF) + ((set >> 8) & 0x00FF00FF00FF00FF);
    set = (set & 0x0000FFFF0000FFFF) + ((set >> 16) & 0x0000FFFF0000FFFF);
    set = (set & 0x00000000FFFFFFFF) + (set >> 32);
    return static_cast<int>(set);
}

// Slider attacks from a square with the Board's current occupancy. Each includes the first
// occupied square in every direction, whatever its colour.
inline Bitboard rankAttacksFrom(int s) {
    return rankAttacks[s][(board.occupied() >> (s & ~7)) & 255];
}
inline Bitboard fileAttacksFrom(int s) {
    return fileAttacks[s][(board.occupiedFiles() >> ((s & 7) * 8)) & 255];
}
inline Bitboard diagA8H1AttacksFrom(int s) {
    return diagA8H1Attacks[s][(board.occupiedDiagA8H1() >> rotA8H1Shift[s]) & 255];
}
inline Bitboard diagA1H8AttacksFrom(int s) {
    return diagA1H8Attacks[s][(board.occupiedDiagA1H8() >> rotA1H8Shift[s]) & 255];
}
inline Bitboard rookAttacksFrom(int s) { return rankAttacksFrom(s) | fileAttacksFrom(s); }
inline Bitboard bishopAttacksFrom(int s) { return diagA8H1AttacksFrom(s) | diagA1H8AttacksFrom(s); }
inline Bitboard queenAttacksFrom(int s) { return rookAttacksFrom(s) | bishopAttacksFrom(s); }

// Is the square attacked by a piece of bySide in the current Board? Square 64 gives false.
// A pawn of bySide attacks the square exactly when a pawn of the other colour standing there
// would attack it.
inline bool isAttacked(int square, int bySide) {
    if (square == NoSquare) return false;
    const Bitboard* own = board.pieceBits[bySide];
    if (pawnAttacks[bySide ^ 1][square] & own[Pawn]) return true;
    if (knightAttacks[square] & own[Knight]) return true;
    if (kingAttacks[square] & own[King]) return true;
    if (rookAttacksFrom(square) & (own[Rook] | own[Queen])) return true;
    return (bishopAttacksFrom(square) & (own[Bishop] | own[Queen])) != 0;
}
