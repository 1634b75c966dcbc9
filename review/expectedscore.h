// review/expectedscore: an engine's score as the share of the points the side it is from can
// expect, by a logistic curve over centipawns: E(cp) = 1 / (1 + e^(-0.00368208 * cp)), so
// +100 cp is about 0.59, +300 about 0.75 and +1000 about 0.98. A mate is 1 for the side that
// mates and 0 for the side that is mated.
#pragma once

#include "uci/ucimessages.h"

// The curve's slope per centipawn.
inline constexpr double ExpectedScoreSlope = 0.00368208;

// The expected score, 0 to 1, of the side the score is from. A mate score of 0 (the side to
// move is mated on the board) is 0.
double expectedScore(const UciScore& score);

// The score in centipawns clipped to [-clip, clip]; a mate is +clip or -clip.
int clippedCentipawns(const UciScore& score, int clip);

// A score given from the side to move after a move, read from the side that made the move, in
// the terms of the position before it: centipawns change sign; the opponent mated in N (mate
// -N, 0 when mated on the board) is a mate in N+1 for the mover, the opponent mating in N a
// mate against the mover in N.
UciScore moverScore(const UciScore& opponentScore);
