// Making and unmaking moves on the Board, and the legal-move and mate test.
#pragma once

#include "engine/board.h"

// Applies move for the side to move, updating every Board field incrementally. The move must
// have been generated for the current position (or be a null move, piece 0); it is not checked.
void makeMove(const Move& move);
// Takes back move, which must be the last move made and not yet unmade.
void unmakeMove(const Move& move);

inline constexpr int HasLegalMove = 0, Checkmated = 1, Stalemated = 2;
// HasLegalMove, Checkmated or Stalemated for side. Overwrites this thread's move list of the
// current ply, so it is called outside this thread's search; any thread may call it while
// another searches.
int mateStatus(int side);

// The legality test used throughout: does making move leave the mover's king attacked?
bool leavesKingAttacked(const Move& move);
