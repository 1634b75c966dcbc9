#include "review/tactics.h"

#include <algorithm>

#include "engine/attacks.h"
#include "engine/makemove.h"
#include "engine/perft.h"
#include "engine/search.h"

namespace {

// How many captures deep the pending captures are played out, enough for any exchange a
// player sees, and how many positions at most: a crowded position of mutual attacks is cut
// off (each side then keeps what it has) instead of taking long.
constexpr int SettleDepth = 8;
constexpr int SettleNodes = 20000;

// What a capture or promotion adds to the mover's material, in pawns.
int moveGain(const Move& move) {
    int gain = pawnUnits[capturedType(move)];
    if (promotionType(move)) gain += pawnUnits[promotionType(move)] - pawnUnits[Pawn];
    return gain;
}

// Alpha-beta over captures and promotions only, the material as the score; the side to move
// may always stop (stand pat). nodes counts down the positions still allowed.
int captureSearch(int alpha, int beta, int depth, int& nodes) {
    const int standPat = materialInPawns(board.sideToMove);
    if (depth == 0 || standPat >= beta || --nodes <= 0) return standPat;
    alpha = std::max(alpha, standPat);
    Move  moves[MaxMovesPerPly];
    Move* end  = genLegalMoves(moves);
    Move* kept = std::remove_if(moves, end, [](const Move& m) { return moveGain(m) == 0; });
    // The biggest gain first, taken with the least valuable piece, so the bounds cut early.
    std::sort(moves, kept, [](const Move& a, const Move& b) {
        if (moveGain(a) != moveGain(b)) return moveGain(a) > moveGain(b);
        return a.piece < b.piece;
    });
    for (Move* m = moves; m != kept; ++m) {
        makeMove(*m);
        const int score = -captureSearch(-beta, -alpha, depth - 1, nodes);
        unmakeMove(*m);
        if (score >= beta) return score;
        alpha = std::max(alpha, score);
    }
    return alpha;
}

} // namespace

int pieceTypeOn(int square, int side) {
    for (int type = Pawn; type <= King; ++type)
        if (board.pieceBits[side][type] & squareBit[square]) return type;
    return NoPiece;
}

int materialInPawns(int side) {
    int balance = 0;
    for (int type = Pawn; type <= Queen; ++type)
        balance += pawnUnits[type] * (popCount(board.pieceBits[side][type]) -
                                      popCount(board.pieceBits[side ^ 1][type]));
    return balance;
}

int settledMaterial(int side) {
    int       nodes = SettleNodes;
    const int score = captureSearch(-1000, 1000, SettleDepth, nodes);
    return side == board.sideToMove ? score : -score;
}

int exchangeGain(int square) {
    Move        moves[MaxMovesPerPly];
    Move* const end   = genLegalMoves(moves);
    const Move* least = nullptr;
    for (const Move* m = moves; m != end; ++m) {
        if (moveTo(*m) != square || capturedType(*m) == NoPiece) continue;
        if (!least || m->piece < least->piece) least = m;
    }
    if (!least) return 0;
    const Move capture = *least;
    makeMove(capture);
    const int gain = moveGain(capture) - exchangeGain(square);
    unmakeMove(capture);
    return std::max(0, gain);
}

Bitboard attacksFrom(int square) {
    for (int side = White; side <= Black; ++side) {
        switch (pieceTypeOn(square, side)) {
        case Pawn:
            return pawnAttacks[side][square];
        case Knight:
            return knightAttacks[square];
        case Bishop:
            return bishopAttacksFrom(square);
        case Rook:
            return rookAttacksFrom(square);
        case Queen:
            return queenAttacksFrom(square);
        case King:
            return kingAttacks[square];
        default:
            break;
        }
    }
    return 0;
}

bool findPin(int square, int& pinned) {
    const int side  = (board.colourBits[White] & squareBit[square]) ? White : Black;
    const int enemy = side ^ 1;
    const int type  = pieceTypeOn(square, side);
    if (type != Bishop && type != Rook && type != Queen) return false;
    constexpr int steps[8][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1},
                                 {1, 0}, {-1, 0}, {0, 1},  {0, -1}};
    const int     first = type == Rook ? 4 : 0, last = type == Bishop ? 4 : 8;
    bool          found = false;
    for (int d = first; d < last; ++d) {
        int front = NoSquare;
        for (int file = fileOf(square) + steps[d][0], rank = rankOf(square) + steps[d][1];
             file >= 0 && file < 8 && rank >= 0 && rank < 8;
             file += steps[d][0], rank += steps[d][1]) {
            const int s = rank * 8 + file;
            if (!(board.occupied() & squareBit[s])) continue;
            if (!(board.colourBits[enemy] & squareBit[s])) break;
            if (front == NoSquare) {
                // A pawn held in front of a piece is rarely what loses it; a king shields nothing.
                const int shield = pieceTypeOn(s, enemy);
                if (shield == Pawn || shield == King) break;
                front = s;
                continue;
            }
            const int behind = pieceTypeOn(s, enemy);
            if (behind == King) {
                pinned = front;
                return true;
            }
            if (!found && pawnUnits[behind] > pawnUnits[pieceTypeOn(front, enemy)]) {
                pinned = front;
                found  = true;
            }
            break;
        }
    }
    return found;
}

bool isCheckmate() {
    Move moves[MaxMovesPerPly];
    if (genLegalMoves(moves) != moves) return false;
    const int side = board.sideToMove;
    return isAttacked(board.kingSquare[side], side ^ 1);
}
