#include "engine/drawrules.h"

#include <algorithm>
#include <bit>

#include "engine/attacks.h"
#include "engine/makemove.h"
#include "engine/perft.h"
#include "engine/search.h"

namespace {

// The dark squares: a1, c1, ..., b2, ... (a1 is bit 0).
constexpr Bitboard DarkSquares = 0xAA55AA55AA55AA55ULL;

Bitboard pieces(const Board& b, int colour, int type) { return b.pieceBits[colour][type]; }

// Pawns, rooks and queens of either colour: material that can always end in a mate.
bool hasHeavyOrPawn(const Board& b, int colour) {
    return (pieces(b, colour, Pawn) | pieces(b, colour, Rook) | pieces(b, colour, Queen)) != 0;
}

}  // namespace

std::uint64_t repetitionKey() {
    std::uint64_t key = board.hashKey;
    if (board.epSquare == NoSquare) return key;
    Move        legal[MaxMovesPerPly];
    const Move* end     = genLegalMoves(legal);
    bool        canTake = false;
    for (const Move* m = legal; m != end; ++m) canTake = canTake || (m->flags & EnPassantFlag) != 0;
    // The square's key is the one makeMove and setupFromFen give it.
    if (!canTake) key ^= zobristKeys[White][0][board.epSquare];
    return key;
}

bool isDeadPosition(const Board& b) {
    if (hasHeavyOrPawn(b, White) || hasHeavyOrPawn(b, Black)) return false;
    const Bitboard knights = pieces(b, White, Knight) | pieces(b, Black, Knight);
    const Bitboard bishops = pieces(b, White, Bishop) | pieces(b, Black, Bishop);
    const int      minors  = std::popcount(knights | bishops);
    if (minors <= 1) return true;  // K v K, K+N v K, K+B v K
    // Bishops only, all on one colour of square.
    return knights == 0 && ((bishops & DarkSquares) == 0 || (bishops & ~DarkSquares) == 0);
}

bool canStillMate(const Board& b, int side) {
    const int other = side ^ 1;
    if (hasHeavyOrPawn(b, side)) return true;
    const Bitboard knights = pieces(b, side, Knight), bishops = pieces(b, side, Bishop);
    if ((knights | bishops) == 0) return false;  // a lone king
    const int minors = std::popcount(knights | bishops);
    // Two knights, a knight and a bishop, or bishops on both colours: a mate exists.
    if (minors >= 2 && !(knights == 0 && ((bishops & DarkSquares) == 0 ||
                                          (bishops & ~DarkSquares) == 0)))
        return true;
    // One knight or same-coloured bishops: only the other side's men can close the net.
    const Bitboard otherMen = b.colourBits[other] & ~squareBit[b.kingSquare[other]];
    if (otherMen == 0) return false;
    if (knights != 0) return true;
    // Against bishops alone on the same colour as side's, it stays dead.
    const Bitboard all = bishops | pieces(b, other, Bishop);
    if (otherMen == pieces(b, other, Bishop) &&
        ((all & DarkSquares) == 0 || (all & ~DarkSquares) == 0))
        return false;
    return true;
}

void DrawHistory::start(int halfMoveClock) {
    m_keys.clear();
    m_keys.push_back(repetitionKey());
    m_halfMoveClock = std::max(0, halfMoveClock);
}

void DrawHistory::played(const Move& move) {
    if (move.piece == Pawn || capturedType(move) != NoPiece) {
        m_keys.clear();
        m_halfMoveClock = 0;
    } else {
        ++m_halfMoveClock;
    }
    m_keys.push_back(repetitionKey());
}

int DrawHistory::repetitions() const {
    if (m_keys.empty()) return 1;
    const std::uint64_t current = m_keys.back();
    int count = 0;
    for (std::size_t i = m_keys.size(); i-- > 0;)
        if (m_keys[i] == current) ++count;
    return count;
}

GameOutcome DrawHistory::outcome() const {
    switch (mateStatus(board.sideToMove)) {
    case Checkmated: return OutcomeCheckmate;
    case Stalemated: return OutcomeStalemate;
    default: break;
    }
    if (isDeadPosition(board)) return OutcomeInsufficient;
    if (repetitions() >= 5) return OutcomeFivefold;
    if (m_halfMoveClock >= 150) return OutcomeSeventyFive;
    return OutcomeNone;
}

int DrawHistory::claimable() const {
    const int status = mateStatus(board.sideToMove);
    if (status != HasLegalMove) return ClaimNone;
    int claims = ClaimNone;
    if (repetitions() >= 3) claims |= ClaimThreefold;
    if (m_halfMoveClock >= 100) claims |= ClaimFifty;
    return claims;
}

std::vector<std::uint64_t> keysBeforeBoard(const Move* moves, int count) {
    std::vector<std::uint64_t> keys;
    int                        taken = 0;
    // Back to the position after the last irreversible move, keeping each key on the way.
    while (taken < count) {
        const Move& move = moves[count - 1 - taken];
        if (move.piece == Pawn || capturedType(move) != NoPiece) break;
        unmakeMove(move);
        ++taken;
        keys.push_back(board.hashKey);
    }
    for (int i = count - taken; i < count; ++i) makeMove(moves[i]);
    std::reverse(keys.begin(), keys.end());
    return keys;
}

int fenHalfMoveClock(const char* fen) {
    if (!fen) return 0;
    const char* p = fen;
    // Skip the four fields before it.
    for (int field = 0; field < 4; ++field) {
        while (*p == ' ' || *p == '\t') ++p;
        if (!*p) return 0;
        while (*p && *p != ' ' && *p != '\t') ++p;
    }
    while (*p == ' ' || *p == '\t') ++p;
    int clock = 0, digits = 0;
    for (; *p >= '0' && *p <= '9' && digits < 6; ++p, ++digits) clock = clock * 10 + (*p - '0');
    return digits > 0 && (*p == '\0' || *p == ' ' || *p == '\t' || *p == '\r' || *p == '\n') ? clock : 0;
}
