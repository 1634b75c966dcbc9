#include "engine/makemove.h"

#include <array>

#include "engine/attacks.h"
#include "engine/movegen.h"
#include "engine/search.h"

namespace {

constexpr int CastleWQ = 0, CastleWK = 1, CastleBQ = 2, CastleBK = 3, SideKeySquare = 4;

std::uint64_t specialKey(int square) { return zobristKeys[White][0][square]; }

// A square's bit in each of the four occupancy sets: plain, files, a8-h1, a1-h8. The same
// formulas as the rotation tables, folded into one constant so that a square flips with four
// loads and no shifts.
struct OccupancyBits {
    Bitboard plain, files, diagA8H1, diagA1H8;
};
constexpr std::array<OccupancyBits, 64> occupancyBits = [] {
    std::array<OccupancyBits, 64> bits{};
    for (int s = 0; s < 64; ++s) {
        const int f = s & 7, r = s >> 3;
        bits[s]     = {Bitboard{1} << s, Bitboard{1} << (f * 8 + 7 - r),
                       Bitboard{1} << (((r + f) & 7) * 8 + f), Bitboard{1} << (((r - f) & 7) * 8 + f)};
    }
    return bits;
}();

// Flips square s in the four occupancy sets.
inline void flipOccupancy(int s) {
    const OccupancyBits& bits = occupancyBits[s];
    board.occupied() ^= bits.plain;
    board.occupiedFiles() ^= bits.files;
    board.occupiedDiagA8H1() ^= bits.diagA8H1;
    board.occupiedDiagA1H8() ^= bits.diagA1H8;
}

// Flips two different squares in the four occupancy sets at once.
inline void flipOccupancy(int a, int b) {
    const OccupancyBits &x = occupancyBits[a], &y = occupancyBits[b];
    board.occupied() ^= x.plain | y.plain;
    board.occupiedFiles() ^= x.files | y.files;
    board.occupiedDiagA8H1() ^= x.diagA8H1 | y.diagA8H1;
    board.occupiedDiagA1H8() ^= x.diagA1H8 | y.diagA1H8;
}

// Adds or removes the captured piece of move; the en-passant victim also leaves the
// occupancy sets, an ordinary victim's square stays occupied by the capturer.
inline void toggleCaptured(int opp, int capturer, const Move& move, std::uint64_t& key) {
    const int captured = move.flags & 7;
    int       victim   = moveTo(move);
    if (move.flags & EnPassantFlag) {
        victim = capturer == White ? victim - 8 : victim + 8;
        flipOccupancy(victim);
    }
    board.pieceBits[opp][captured] ^= squareBit[victim];
    board.colourBits[opp] ^= squareBit[victim];
    key ^= zobristKeys[opp][captured][victim];
}

// Moves the mover (or turns it into its promotion piece) between from and to, both ways.
inline void toggleMover(int side, const Move& move, std::uint64_t& key) {
    const int      from = moveFrom(move), to = moveTo(move), p = move.piece;
    const int      promotion = promotionType(move);
    const Bitboard fromBit = squareBit[from], toBit = squareBit[to];
    board.colourBits[side] ^= fromBit | toBit;
    if (promotion) {
        board.pieceBits[side][p] ^= fromBit;
        board.pieceBits[side][promotion] ^= toBit;
        key ^= zobristKeys[side][p][from] ^ zobristKeys[side][promotion][to];
    } else {
        board.pieceBits[side][p] ^= fromBit | toBit;
        key ^= zobristKeys[side][p][from] ^ zobristKeys[side][p][to];
    }
    // An ordinary capture leaves the destination occupied.
    const bool ordinaryCapture = (move.flags & 7) && !(move.flags & EnPassantFlag);
    if (ordinaryCapture)
        flipOccupancy(from);
    else
        flipOccupancy(from, to);
}

// The rook's half of a castling: h1-f1, a1-d1, h8-f8 or a8-d8, both ways.
inline void toggleCastlingRook(int side, int from, int to, std::uint64_t& key) {
    const int rookFrom = from < to ? to + 1 : to - 2;
    const int rookTo   = from < to ? from + 1 : from - 1;
    board.pieceBits[side][Rook] ^= squareBit[rookFrom] | squareBit[rookTo];
    board.colourBits[side] ^= squareBit[rookFrom] | squareBit[rookTo];
    flipOccupancy(rookFrom, rookTo);
    key ^= zobristKeys[side][Rook][rookFrom] ^ zobristKeys[side][Rook][rookTo];
}

// Castling keys leave the hash only when a king or rook first leaves home while both of the
// right's counters are still 0; book keys rely on it. Answers the keys to toggle, with the
// counters as they stand before makeMove increments (or after unmakeMove decrements) the
// origin's counter. The test is on the square, not on the colour of the piece.
std::uint64_t castlingKeysLeaving(int piece, int from) {
    const std::int32_t* moved = board.movedFrom;
    std::uint64_t       keys  = 0;
    if (piece == King) {
        if (from == 4 && moved[4] == 0) {
            if (moved[7] == 0) keys ^= specialKey(CastleWK);
            if (moved[0] == 0) keys ^= specialKey(CastleWQ);
        } else if (from == 60 && moved[60] == 0) {
            if (moved[63] == 0) keys ^= specialKey(CastleBK);
            if (moved[56] == 0) keys ^= specialKey(CastleBQ);
        }
    } else if (from == 7 && moved[7] == 0 && moved[4] == 0) {
        keys = specialKey(CastleWK);
    } else if (from == 0 && moved[0] == 0 && moved[4] == 0) {
        keys = specialKey(CastleWQ);
    } else if (from == 63 && moved[63] == 0 && moved[60] == 0) {
        keys = specialKey(CastleBK);
    } else if (from == 56 && moved[56] == 0 && moved[60] == 0) {
        keys = specialKey(CastleBQ);
    }
    return keys;
}

}  // namespace

void makeMove(const Move& move) {
    const int     side = board.sideToMove, opp = side ^ 1;
    const int     from = moveFrom(move), to = moveTo(move), p = move.piece, f = move.flags;
    std::uint64_t key  = board.hashKey ^ specialKey(SideKeySquare);

    if (board.epSquare != NoSquare) {
        key ^= specialKey(board.epSquare);
        board.epSquare = NoSquare;
    }
    board.sideToMove = opp;
    if (p == NoPiece) {
        board.hashKey = key;
        return;
    }

    if (f & CastleFlag)
        toggleCastlingRook(side, from, to, key);
    else if (f & 7) {
        toggleCaptured(opp, side, move, key);
        board.material[opp] -= pieceValue[f & 7];
    }
    toggleMover(side, move, key);
    if (f & PromotionMask) board.material[side] += pieceValue[promotionType(move)] - 100;

    if (p == King) {
        board.kingSquare[side] = to;
        key ^= castlingKeysLeaving(King, from);
    } else if (p == Rook) {
        key ^= castlingKeysLeaving(Rook, from);
    } else if (p == Pawn && (to - from == 16 || from - to == 16)) {
        // The en-passant square is recorded only when an enemy pawn could take there.
        const int passed = (from + to) / 2;
        if (pawnAttacks[side][passed] & board.pieceBits[opp][Pawn]) {
            board.epSquare = passed;
            key ^= specialKey(passed);
        }
    }
    ++board.movedFrom[from];
    board.hashKey = key;
}

void unmakeMove(const Move& move) {
    const int     from = moveFrom(move), to = moveTo(move), p = move.piece, f = move.flags;
    std::uint64_t key  = board.hashKey ^ specialKey(SideKeySquare);

    if (board.epSquare != NoSquare) key ^= specialKey(board.epSquare);
    board.epSquare = previousEpSquare(move);
    if (board.epSquare != NoSquare) key ^= specialKey(board.epSquare);
    board.sideToMove ^= 1;
    if (p == NoPiece) {
        board.hashKey = key;
        return;
    }

    const int side = board.sideToMove, opp = side ^ 1;
    if (f & CastleFlag)
        toggleCastlingRook(side, from, to, key);
    else if (f & 7) {
        toggleCaptured(opp, side, move, key);
        board.material[opp] += pieceValue[f & 7];
    }
    toggleMover(side, move, key);
    if (f & PromotionMask) board.material[side] -= pieceValue[promotionType(move)] - 100;

    --board.movedFrom[from];
    if (p == King) {
        board.kingSquare[side] = from;
        key ^= castlingKeysLeaving(King, from);
    } else if (p == Rook) {
        key ^= castlingKeysLeaving(Rook, from);
    }
    board.hashKey = key;
}

bool leavesKingAttacked(const Move& move) {
    const int mover = board.sideToMove;
    makeMove(move);
    const bool attacked = isAttacked(board.kingSquare[mover], mover ^ 1);
    unmakeMove(move);
    return attacked;
}

int mateStatus(int side) {
    const int  opp     = side ^ 1;
    const bool inCheck = isAttacked(board.kingSquare[side], opp);
    Move*      first   = moveStack[searchPly];
    Move*      end     = inCheck ? genEvasions(side, first) : genAllMoves(side, first);
    moveListEnd[searchPly] = end;
    for (Move* m = first; m != end; ++m) {
        makeMove(*m);
        const bool attacked = isAttacked(board.kingSquare[side], opp);
        unmakeMove(*m);
        if (!attacked) return HasLegalMove;
    }
    return inCheck ? Checkmated : Stalemated;
}
