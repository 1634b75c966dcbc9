#include "engine/eval.h"

#include "engine/attacks.h"
#include "engine/board.h"

namespace {

// Material sums (king included) at which the side with the extra minor piece cannot win.
constexpr int LoneKing = 1200, KingKnight = 1550, KingBishop = 1555;

bool isTrivialDraw(int white, int black) {
    return (white == LoneKing && (black == KingKnight || black == KingBishop)) ||
           (black == LoneKing && (white == KingKnight || white == KingBishop));
}

// Colour c's king shelter: the king on g1 (g8), or on b1 or c1 (b8, c8), with an own pawn on
// each of the three files f-h (a-c), on its second or third rank. A king in the corner gets
// nothing.
bool hasShelter(int c) {
    const int home = c == White ? 0 : 56;
    const int k    = board.kingSquare[c] - home;
    int       firstFile;
    if (k == 6)
        firstFile = 5;
    else if (k == 1 || k == 2)
        firstFile = 0;
    else
        return false;
    const int second = c == White ? 8 : 48, third = c == White ? 16 : 40;
    for (int f = firstFile; f < firstFile + 3; ++f)
        if (!(board.pieceBits[c][Pawn] & (squareBit[second + f] | squareBit[third + f])))
            return false;
    return true;
}

// The positional sum of colour c: development, pawns, pieces, king shelter. Adds c's attacked
// squares to attacks.
int positionalTerms(int c, Bitboard& attacks) {
    const Bitboard* own       = board.pieceBits[c];
    const Bitboard  enemyPawn = board.pieceBits[c ^ 1][Pawn];
    int             score     = 0;

    const int backRank = c == White ? 0 : 56;
    for (int s = backRank; s < backRank + 8; ++s)
        if (board.movedFrom[s] != 0) score += DevelopmentBonus;

    Bitboard set = own[Pawn];
    while (set) {
        const int s = firstOne(set);
        set ^= squareBit[s];
        if (pawnAttacks[c][s] & own[Pawn]) score += GuardingPawnBonus;
        if (pawnPushes[c][s] & own[Pawn]) {
            score += BlockedPawnCost;
            if (fileOf(s) == 0 || fileOf(s) == 7) score += RookPawnBlockCost;
        }
        if (!(passedPawnMask[c][s] & enemyPawn))
            score += PassedPawnStep * (c == White ? rankOf(s) : 7 - rankOf(s));
        attacks |= pawnAttacks[c][s];
    }
    set = own[Knight];
    while (set) {
        const int s = firstOne(set);
        set ^= squareBit[s];
        score += knightSquareBonus[s];
        attacks |= knightAttacks[s];
    }
    // Sliders: one point per square of the attack set, taken with both colours' men.
    for (int piece = Bishop; piece <= Queen; ++piece) {
        set = own[piece];
        while (set) {
            const int s = firstOne(set);
            set ^= squareBit[s];
            const Bitboard x = piece == Bishop ? bishopAttacksFrom(s)
                               : piece == Rook ? rookAttacksFrom(s)
                                               : queenAttacksFrom(s);
            score += popCount(x);
            attacks |= x;
        }
    }
    attacks |= kingAttacks[board.kingSquare[c]];
    if (hasShelter(c)) score += KingShelterBonus;
    return score;
}

}  // namespace

int evaluate(int side, int alpha, int beta) {
    const int white = board.material[White], black = board.material[Black];
    if (isTrivialDraw(white, black)) return 0;

    const int m = board.material[side] - board.material[side ^ 1] + SideToMoveBonus;
    if (m < alpha - LazyMargin || m > beta + LazyMargin) return m;

    Bitboard attacks[2] = {0, 0};
    int      p[2];
    p[White] = positionalTerms(White, attacks[White]);
    p[Black] = positionalTerms(Black, attacks[Black]);

    p[White] += KingZoneBonus * popCount(kingAttacks[board.kingSquare[Black]] & attacks[White]);
    p[Black] += KingZoneBonus * popCount(kingAttacks[board.kingSquare[White]] & attacks[Black]);
    p[White] += AttackedManBonus * popCount(attacks[White] & board.colourBits[Black]);
    p[Black] += AttackedManBonus * popCount(attacks[Black] & board.colourBits[White]);

    return p[side] - p[side ^ 1] + m;
}
