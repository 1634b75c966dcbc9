// The current game: its moves and how many of them are made on the Board.
#pragma once

#include <cstdint>

#include "engine/board.h"

inline constexpr int MaxGameMoves = 512;

// The game's moves in order; the first record whose piece is 0 ends the list.
extern Move gameMoves[MaxGameMoves];
// How many of gameMoves are made on the Board (the position shown).
extern std::int32_t gamePly;
