// The Board as one line of Forsyth-Edwards Notation.
#pragma once

#include <cstddef>

// Writes the current Board as FEN into buffer: placement, side, castling (a right while its
// king and rook stand unmoved on their home squares), en-passant square, and the counters of
// the current game at gamePly (half-move clock and move number continue the game's start).
// Writes nothing when buffer is null or size is below 16.
void boardToText(char* buffer, std::size_t size);
