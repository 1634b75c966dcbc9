// Static evaluation of the Board for one side.
#pragma once

#include <array>
#include <cstdint>

// Knight placement bonus by square (a1 = 0 ... h8 = 63), shared by both colours and not
// mirrored for Black. h6 holds 6 where a6 holds 4.
// clang-format off
inline constexpr std::array<std::int32_t, 64> knightSquareBonus = {
    2, 3, 4, 4, 4, 4, 3, 2,   // rank 1
    3, 4, 6, 6, 6, 6, 4, 3,   // rank 2
    4, 6, 8, 8, 8, 8, 6, 4,   // rank 3
    4, 6, 8, 8, 8, 8, 6, 4,   // rank 4
    4, 6, 8, 8, 8, 8, 6, 4,   // rank 5
    4, 6, 8, 8, 8, 8, 6, 6,   // rank 6
    3, 4, 6, 6, 6, 6, 4, 3,   // rank 7
    2, 3, 4, 4, 4, 4, 3, 2,   // rank 8
};
// clang-format on

// Evaluation weights, pawn = 100.
inline constexpr int SideToMoveBonus   = 2;
inline constexpr int LazyMargin        = 200;
inline constexpr int DevelopmentBonus  = 8;    // per back-rank square moved from
inline constexpr int GuardingPawnBonus = 2;    // per pawn that guards an own pawn
inline constexpr int BlockedPawnCost   = -4;   // per pawn with an own pawn on a push square
inline constexpr int RookPawnBlockCost = -32;  // in addition, on the a- and h-files
inline constexpr int PassedPawnStep    = 16;   // times the ranks advanced from the back rank
inline constexpr int KingShelterBonus  = 16;
inline constexpr int KingZoneBonus     = 2;    // per square next to the enemy king attacked
inline constexpr int AttackedManBonus  = 1;    // per enemy-occupied square attacked

// The score of the Board for side (positive is good for side), pawn = 100. alpha and beta
// are the bounds of the calling node and serve only the material-only early exit. Lone king
// against king and knight or king and bishop is 0. Reads the Board, changes nothing.
int evaluate(int side, int alpha, int beta);
