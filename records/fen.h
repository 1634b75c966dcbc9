// The Board as one line of Forsyth-Edwards Notation.
#pragma once

#include <cstddef>

// Writes the current Board as FEN into buffer: placement, side, castling from the move
// counters of the king and rook home squares, en-passant square, half-move clock 0 and the
// move number gamePly / 2 + 1. Writes nothing when buffer is null or size is below 16.
void boardToText(char* buffer, std::size_t size);
