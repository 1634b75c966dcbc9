#include "engine/coords.h"

#include "engine/makemove.h"
#include "engine/movegen.h"

namespace {

constexpr char promotionLetters[] = "  nbrq";

int readSquare(const char* text) {
    if (text[0] < 'a' || text[0] > 'h' || text[1] < '1' || text[1] > '8') return -1;
    return (text[1] - '1') * 8 + (text[0] - 'a');
}

}  // namespace

void moveToCoords(const Move& move, char* text) {
    if (move.fromTo == 0) {
        text[0] = text[1] = text[2] = text[3] = '0';
        text[4]                               = '\0';
        return;
    }
    const int from = moveFrom(move), to = moveTo(move), promotion = promotionType(move);
    text[0] = static_cast<char>('a' + fileOf(from));
    text[1] = static_cast<char>('1' + rankOf(from));
    text[2] = static_cast<char>('a' + fileOf(to));
    text[3] = static_cast<char>('1' + rankOf(to));
    int n   = 4;
    if (promotion) text[n++] = promotionLetters[promotion];
    text[n] = '\0';
}

bool coordsToMove(const char* text, Move* out) {
    if (!text[0] || !text[1] || !text[2] || !text[3]) return false;
    const int from = readSquare(text), to = readSquare(text + 2);
    if (from < 0 || to < 0) return false;
    int promotion = 0;
    if (text[4]) {
        for (int p = Knight; p <= Queen; ++p)
            if (promotionLetters[p] == text[4]) promotion = p;
        if (!promotion || text[5]) return false;
    }
    Move move{};
    if (!moveFromCoords(&move, board.sideToMove, from * 64 + to)) return false;
    if ((promotionType(move) != 0) != (promotion != 0)) return false;
    if (promotion) move.flags = static_cast<std::uint16_t>((move.flags & ~PromotionMask) | (promotion << 12));
    if (leavesKingAttacked(move)) return false;
    *out = move;
    return true;
}
