#include "records/game.h"

#include <cstring>

#include "engine/fensetup.h"
#include "records/annotations.h"

GameHeader   gameHeader;
Move         gameMoves[MaxGameMoves];
std::int32_t gamePly;

void clearGame() {
    std::memset(&gameHeader, 0, sizeof gameHeader);
    gameHeader.info = NoEco;
    std::memset(gameMoves, 0, sizeof gameMoves);
    gameAnnotations.clear();
    gamePly = 0;
    setupStartPosition();
}

void setupStartKeepingMoves() { setupStartBoard(); }

bool setupGameStart() { return setupStartFrom(gameHeader.fen); }

bool setupStartFrom(const char* fen) {
    setupStartBoard();
    if (!fen || fen[0] == 0) return true;
    char error[128];
    return setupBoardFromFen(fen, error, sizeof error);
}

GameStart gameStart() { return gameStartOf(gameHeader.fen); }

GameStart gameStartOf(const char* fen) {
    GameStart start{1, 0, false};
    if (!fen) return start;
    // Fields: placement, side, castling, en passant, half-move clock, move number.
    int         field = 0;
    const char* p     = fen;
    while (*p) {
        while (*p == ' ')
            ++p;
        if (!*p) break;
        const char* word = p;
        while (*p && *p != ' ')
            ++p;
        long value = 0;
        bool digits = p - word <= 6;
        for (const char* d = word; d < p && digits; ++d) {
            digits = *d >= '0' && *d <= '9';
            value  = value * 10 + (*d - '0');
        }
        if (field == 1) start.blackFirst = *word == 'b';
        if (field == 4 && digits) start.halfMoveClock = static_cast<int>(value);
        if (field == 5 && digits && value > 0) start.moveNumber = static_cast<int>(value);
        ++field;
    }
    return start;
}

bool standardVariant(const char* value) {
    static constexpr const char* standard[] = {"", "standard", "chess", "normal", "from position"};
    for (const char* name : standard) {
        const char* v = value;
        const char* n = name;
        while (*v && *n && (*v | 0x20) == *n)
            ++v, ++n;
        if (*v == 0 && *n == 0) return true;
    }
    return false;
}

int ecoIndexOf(const char* text, int length) {
    if (length < 3 || text[0] < 'A' || text[0] > 'E' || text[1] < '0' || text[1] > '9' ||
        text[2] < '0' || text[2] > '9')
        return NoEco;
    return (text[0] - 'A') * 100 + (text[1] - '0') * 10 + (text[2] - '0');
}
