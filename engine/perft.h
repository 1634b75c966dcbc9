// Counting the leaves of the legal-move tree: the move generator's proof.
#pragma once

#include <cstdint>

#include "engine/board.h"

// Leaves of the legal-move tree below the Board, depth plies deep. Every leaf is made and
// tested (make, isAttacked on the mover's king, unmake); nothing is counted in bulk. The
// Board is left as it was.
std::uint64_t perft(int depth);

// The legal moves of the side to move (evasions when in check), written from out on.
// Answers the new end.
Move* genLegalMoves(Move* out);
