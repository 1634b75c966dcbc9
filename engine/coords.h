// Moves in coordinate form: "e2e4", "e7e8q", "e1g1" for castling.
#pragma once

#include "engine/board.h"

// Writes move as origin, destination and a lower-case promotion letter; "0000" for no move.
// text must hold at least 6 characters.
void moveToCoords(const Move& move, char* text);

// Reads a coordinate move for the side to move. Answers true and fills out only when the
// text names a legal move (a pawn reaching the last rank needs its promotion letter).
bool coordsToMove(const char* text, Move* out);
