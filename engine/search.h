// The search's per-ply state.
#pragma once

#include "engine/board.h"

inline constexpr int MaxPly          = 32;
inline constexpr int MaxMovesPerPly  = 512;

// One list of up to 512 moves per ply; any position's pseudo-legal moves fit in one.
extern Move  moveStack[MaxPly][MaxMovesPerPly];
// End of the records generated so far at each ply.
extern Move* moveListEnd[MaxPly];
// The current ply, 0 at the root and outside the search.
extern int   searchPly;
