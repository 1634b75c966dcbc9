#include "engine/makemove.h"

#include "engine/attacks.h"
#include "engine/movegen.h"
#include "engine/search.h"

namespace {

constexpr int CastleWQ = 0, CastleWK = 1, CastleBQ = 2, CastleBK = 3, SideKeySquare = 4;

std::uint64_t specialKey(int square) { return zobristKeys[White][0][square]; }

// Flips square s in colour's piece set and in the four occupancy sets.
void toggleSquare(int colour, int piece, int s) {
    const Bitboard b = squareBit[s];
    board.pieceBits[colour][piece] ^= b;
    board.colourBits[colour] ^= b;
    board.occupied() ^= b;
    board.occupiedFiles() ^= squareBit[rotFilesIndex[s]];
    board.occupiedDiagA8H1() ^= squareBit[rotA8H1Index[s]];
    board.occupiedDiagA1H8() ^= squareBit[rotA1H8Index[s]];
}

// Moves a piece and its key from one square to another.
void shiftPiece(int colour, int piece, int from, int to) {
    toggleSquare(colour, piece, from);
    toggleSquare(colour, piece, to);
    board.hashKey ^= zobristKeys[colour][piece][from] ^ zobristKeys[colour][piece][to];
}

void toggleKeyed(int colour, int piece, int s) {
    toggleSquare(colour, piece, s);
    board.hashKey ^= zobristKeys[colour][piece][s];
}

// Castling keys leave the hash only when a king or rook first leaves home while both of the
// right's counters are still 0; book keys rely on it. Called with the counters as they stand
// before makeMove increments (or after unmakeMove decrements) the origin's counter.
void toggleCastlingKeys(int piece, int from) {
    const std::int32_t* moved = board.movedFrom;
    if (piece == King) {
        if (from == 4 && moved[4] == 0) {
            if (moved[7] == 0) board.hashKey ^= specialKey(CastleWK);
            if (moved[0] == 0) board.hashKey ^= specialKey(CastleWQ);
        } else if (from == 60 && moved[60] == 0) {
            if (moved[63] == 0) board.hashKey ^= specialKey(CastleBK);
            if (moved[56] == 0) board.hashKey ^= specialKey(CastleBQ);
        }
    } else if (piece == Rook) {
        if (from == 7 && moved[7] == 0 && moved[4] == 0)
            board.hashKey ^= specialKey(CastleWK);
        else if (from == 0 && moved[0] == 0 && moved[4] == 0)
            board.hashKey ^= specialKey(CastleWQ);
        else if (from == 63 && moved[63] == 0 && moved[60] == 0)
            board.hashKey ^= specialKey(CastleBK);
        else if (from == 56 && moved[56] == 0 && moved[60] == 0)
            board.hashKey ^= specialKey(CastleBQ);
    }
}

void moveCastlingRook(int side, int from, int to) {
    if (from < to)
        shiftPiece(side, Rook, to + 1, from + 1);
    else
        shiftPiece(side, Rook, to - 2, from - 1);
}

// The square of the pawn taken en passant on to by side.
int enPassantVictim(int side, int to) { return side == White ? to - 8 : to + 8; }

}  // namespace

void makeMove(const Move& move) {
    const int side = board.sideToMove, opp = side ^ 1;
    const int from = moveFrom(move), to = moveTo(move), p = move.piece, f = move.flags;

    if (p == NoPiece) {
        board.hashKey ^= specialKey(SideKeySquare);
        if (board.epSquare != NoSquare) {
            board.hashKey ^= specialKey(board.epSquare);
            board.epSquare = NoSquare;
        }
        board.sideToMove = opp;
        return;
    }

    if (!(f & CastleFlag) && (f & 7)) {
        if (f & EnPassantFlag)
            toggleKeyed(opp, Pawn, enPassantVictim(side, to));
        else
            toggleKeyed(opp, f & 7, to);
        board.material[opp] -= pieceValue[f & 7];
    }
    if (f & CastleFlag) moveCastlingRook(side, from, to);

    const int promotion = (f >> 12) & 7;
    if (promotion) {
        toggleKeyed(side, promotion, to);
        board.material[side] += pieceValue[promotion] - 100;
    } else {
        toggleKeyed(side, p, to);
    }
    toggleKeyed(side, p, from);
    board.hashKey ^= specialKey(SideKeySquare);

    if (board.epSquare != NoSquare) {
        board.hashKey ^= specialKey(board.epSquare);
        board.epSquare = NoSquare;
    }

    if (p == King) {
        board.kingSquare[side] = to;
        toggleCastlingKeys(King, from);
    } else if (p == Rook) {
        toggleCastlingKeys(Rook, from);
    } else if (p == Pawn && (to - from == 16 || from - to == 16)) {
        // The en-passant square is recorded only when an enemy pawn could take there.
        const int passed = (from + to) / 2;
        if (pawnAttacks[side][passed] & board.pieceBits[opp][Pawn]) {
            board.epSquare = passed;
            board.hashKey ^= specialKey(passed);
        }
    }

    ++board.movedFrom[from];
    board.sideToMove = opp;
}

void unmakeMove(const Move& move) {
    const int from = moveFrom(move), to = moveTo(move), p = move.piece, f = move.flags;

    if (p == NoPiece) {
        board.hashKey ^= specialKey(SideKeySquare);
        board.epSquare = (f >> 3) & 0x7F;
        if (board.epSquare != NoSquare) board.hashKey ^= specialKey(board.epSquare);
        board.sideToMove ^= 1;
        return;
    }

    board.sideToMove ^= 1;
    const int side = board.sideToMove, opp = side ^ 1;
    const int promotion = (f >> 12) & 7;
    int       r         = promotion ? promotion : p;

    if (f & CastleFlag) moveCastlingRook(side, from, to);
    toggleKeyed(side, r, to);
    if (!(f & CastleFlag) && (f & 7)) {
        if (f & EnPassantFlag)
            toggleKeyed(opp, Pawn, enPassantVictim(side, to));
        else
            toggleKeyed(opp, f & 7, to);
        board.material[opp] += pieceValue[f & 7];
    }
    if (promotion) {
        board.material[side] += 100 - pieceValue[promotion];
        r = Pawn;
    }
    toggleKeyed(side, r, from);
    board.hashKey ^= specialKey(SideKeySquare);
    --board.movedFrom[from];

    if (board.epSquare != NoSquare) board.hashKey ^= specialKey(board.epSquare);
    board.epSquare = (f >> 3) & 0x7F;
    if (board.epSquare != NoSquare) board.hashKey ^= specialKey(board.epSquare);

    if (r == King) board.kingSquare[side] = from;
    toggleCastlingKeys(r, from);
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
