// Setting the Board from a FEN line: the command-line companion's positions, a game that
// starts from a set-up position (its FEN tag), the desktop's pasted positions, and the tests.
#pragma once

#include <cstddef>

// Sets the Board to the position of fen (with or without its two counters), as if it had
// been reached by moves: castling rights absent from the text mark their rook corners as
// moved from, and the en-passant square is kept only when a pawn can take there. On a
// malformed or impossible FEN it answers false, writes the reason into error (bounded,
// zero-terminated) and leaves the Board as it was.
bool setupFromFen(const char* fen, char* error, std::size_t errorSize);
// The same for the Board alone: the game's move list, shared by all threads, is left alone
// (setupFromFen also ends it at its first record).
bool setupBoardFromFen(const char* fen, char* error, std::size_t errorSize);
