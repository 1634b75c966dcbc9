// Move generation. Every generator writes side's pseudo-legal moves from out on and returns
// the place just after the last record; none checks the room left. A move that leaves the
// mover's king attacked can still appear: users make it, ask isAttacked and unmake it.
#pragma once

#include "engine/board.h"

// Checks one candidate and, when it is acceptable, writes it at out. Refuses captures of the
// king, moves onto own pieces, king steps onto attacked squares and pawn moves that do not
// fit the board; writes nothing then.
bool addMove(Move* out, int from, int to, int side, int piece, int promotion);

// Every move: pawns, knights, bishops, rooks, queens, king, each by ascending origin and
// destination; then castling, queen-side first. A promotion gives queen, rook, bishop, knight.
Move* genAllMoves(int side, Move* out);
// Captures, en passant and capture-promotions, in the same order.
Move* genCaptures(int side, Move* out);
// Quiet moves, quiet promotions and castling, in the same order.
Move* genNonCaptures(int side, Move* out);
// Answers to a check: captures of a lone checker, then king moves, then interpositions
// nearest the king first. Only for a side in check.
Move* genEvasions(int side, Move* out);
// Moves of side's pawns and pieces (never the king) onto target.
Move* genMovesTo(int side, Move* out, int target);

// Turns a packed origin * 64 + destination into a full move for side, checked as addMove
// checks it; a pawn reaching the last rank becomes a queen. False (nothing written) when the
// pair is 0 or does not describe a pseudo-legal move of side.
bool moveFromCoords(Move* out, int side, int packed);
