#include "records/game.h"

#include <cstring>

#include "engine/fensetup.h"

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

bool setupGameStart() {
    setupStartKeepingMoves();
    if (gameHeader.fen[0] == 0) return true;
    const Move first = gameMoves[0];
    char       error[128];
    const bool ok = setupFromFen(gameHeader.fen, error, sizeof error);
    gameMoves[0]  = first;
    return ok;
}

int ecoIndexOf(const char* text, int length) {
    if (length < 3 || text[0] < 'A' || text[0] > 'E' || text[1] < '0' || text[1] > '9' ||
        text[2] < '0' || text[2] > '9')
        return NoEco;
    return (text[0] - 'A') * 100 + (text[1] - '0') * 10 + (text[2] - '0');
}
