#include "records/game.h"

Move         gameMoves[MaxGameMoves];
std::int32_t gamePly;
