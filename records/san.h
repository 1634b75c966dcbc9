// Standard algebraic notation both ways, against the current Board. Both leave the Board as
// they found it: whatever they try is made and unmade again.
#pragma once

#include "engine/board.h"

// Writes the SAN of move, which must be a legal move of the side to move, into out (8 bytes
// suffice: "Qa1xc3+", "exd8=Q#"). Disambiguates only against twins that could legally make
// the move; adds "+" or "#". False only when out is null.
bool moveToSan(const Move& move, char* out);

// Reads one SAN token, text[0..last], and fills out with the legal move it names for the side
// to move. Accepts trailing "+", "#", "!" and "?", "e8Q" as well as "e8=Q", "ed5" and "e4d5"
// for "exd5", and castling written with O, 0 or o. False for anything else, for a move that
// is not legal, and at once when last is 8 or more.
bool sanToMove(const char* text, int last, Move* out);
