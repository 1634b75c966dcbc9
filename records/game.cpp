#include "records/game.h"

#include <cstring>

GameHeader   gameHeader;
Move         gameMoves[MaxGameMoves];
std::int32_t gamePly;

void clearGame() {
    std::memset(&gameHeader, 0, sizeof gameHeader);
    gameHeader.info = NoEco;
    std::memset(gameMoves, 0, sizeof gameMoves);
    gamePly = 0;
    setupStartPosition();
}

void setupStartKeepingMoves() {
    const Move first = gameMoves[0];
    setupStartPosition();
    gameMoves[0] = first;
}

int ecoIndexOf(const char* text, int length) {
    if (length < 3 || text[0] < 'A' || text[0] > 'E' || text[1] < '0' || text[1] > '9' ||
        text[2] < '0' || text[2] > '9')
        return NoEco;
    return (text[0] - 'A') * 100 + (text[1] - '0') * 10 + (text[2] - '0');
}
