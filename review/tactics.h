// review/tactics: what a position shows at a glance, read from the calling thread's Board for
// the explanations of mistakes: the material in pawns, the material once the pending captures
// are played out, the exchange on one square, the squares one piece attacks and the piece it
// pins. Each leaves the Board as it found it.
#pragma once

#include <array>

#include "engine/board.h"

// A piece's worth in pawns as players count it (the king counts for nothing).
inline constexpr std::array<int, 8> pawnUnits = {0, 1, 3, 3, 5, 9, 0, 0};

// The type of side's piece on square, NoPiece when it has none there.
int pieceTypeOn(int square, int side);

// side's material minus the other side's, in pawns.
int materialInPawns(int side);

// The same once the captures pending in the position are played out: the side to move and
// then each side in turn may capture (or promote) or stop, each choosing what keeps the most.
int settledMaterial(int side);

// What the side to move wins, at least 0, by starting the captures on square: each side
// takes back with its least valuable piece while that gains, or stops.
int exchangeGain(int square);

// The squares the piece on square attacks, through the Board's occupancy.
Bitboard attacksFrom(int square);

// The piece on square (a bishop, rook or queen) looks along a line through an enemy piece
// other than a pawn at the enemy king or at a piece worth more than it: pinned is that
// piece's square. False when it pins nothing; a pin to the king is preferred.
bool findPin(int square, int& pinned);

// The side to move is in check and has no legal move.
bool isCheckmate();
