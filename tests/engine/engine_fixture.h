// Helpers shared by the engine tests: reaching positions and checking the Board's invariants.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "engine/attacks.h"
#include "engine/board.h"
#include "engine/coords.h"
#include "engine/fensetup.h"
#include "engine/makemove.h"

// initEngine runs once per process, as in the program.
class EngineEnvironment : public ::testing::Environment {
public:
    void SetUp() override { initEngine(); }
};

// Plays coordinate moves from the initial position; false at the first illegal one.
inline bool playLine(const std::string& line) {
    setupStartPosition();
    std::istringstream tokens(line);
    std::string        token;
    while (tokens >> token) {
        Move move{};
        if (!coordsToMove(token.c_str(), &move)) return false;
        makeMove(move);
    }
    return true;
}

inline void setFen(const char* fen) {
    char error[128];
    ASSERT_TRUE(setupFromFen(fen, error, sizeof error)) << fen << ": " << error;
}

// The piece, en-passant and side parts of the hash key, recomputed from scratch.
inline std::uint64_t positionalKey() {
    std::uint64_t key = 0;
    for (int c = White; c <= Black; ++c)
        for (int p = Pawn; p <= King; ++p)
            for (Bitboard b = board.pieceBits[c][p]; b; b &= b - 1)
                key ^= zobristKeys[c][p][firstOne(b)];
    if (board.epSquare != NoSquare) key ^= zobristKeys[White][0][board.epSquare];
    if (board.sideToMove == Black) key ^= zobristKeys[White][0][4];
    return key;
}

// Every invariant of the Board, checked from scratch.
inline void expectConsistentBoard() {
    Bitboard all = 0, files = 0, diagA8H1 = 0, diagA1H8 = 0;
    for (int c = White; c <= Black; ++c) {
        Bitboard colour   = 0;
        int      material = 0;
        for (int p = Pawn; p <= King; ++p) {
            const Bitboard set = board.pieceBits[c][p];
            EXPECT_EQ(set & all, 0u) << "piece sets overlap";
            all |= set;
            colour |= set;
            material += popCount(set) * pieceValue[p];
        }
        EXPECT_EQ(board.colourBits[c], colour);
        EXPECT_EQ(board.material[c], material);
        ASSERT_EQ(popCount(board.pieceBits[c][King]), 1);
        EXPECT_EQ(board.kingSquare[c], firstOne(board.pieceBits[c][King]));
    }
    for (Bitboard b = all; b; b &= b - 1) {
        const int s = firstOne(b);
        files |= squareBit[rotFilesIndex[s]];
        diagA8H1 |= squareBit[rotA8H1Index[s]];
        diagA1H8 |= squareBit[rotA1H8Index[s]];
    }
    EXPECT_EQ(board.occupied(), all);
    EXPECT_EQ(board.occupiedFiles(), files);
    EXPECT_EQ(board.occupiedDiagA8H1(), diagA8H1);
    EXPECT_EQ(board.occupiedDiagA1H8(), diagA1H8);

    // What remains of the key is a set of castling keys, holding at least every right whose
    // king and rook have never moved from home.
    const std::uint64_t castling = board.hashKey ^ positionalKey();
    static constexpr int kingOf[4] = {4, 4, 60, 60}, cornerOf[4] = {0, 7, 56, 63};
    bool matched = false;
    for (int subset = 0; subset < 16 && !matched; ++subset) {
        std::uint64_t key = 0;
        bool          ok  = true;
        for (int right = 0; right < 4; ++right) {
            const bool in = subset & (1 << right);
            if (in) key ^= zobristKeys[White][0][right];
            if (!in && board.movedFrom[kingOf[right]] == 0 && board.movedFrom[cornerOf[right]] == 0)
                ok = false;
        }
        matched = ok && key == castling;
    }
    EXPECT_TRUE(matched) << "hash key differs from the recomputed one by more than castling keys";
}
