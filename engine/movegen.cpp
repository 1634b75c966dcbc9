#include "engine/movegen.h"

#include "engine/attacks.h"

namespace {

struct PieceSet {
    int      piece;
    Bitboard squares;
};

constexpr bool onLastRank(int side, int square) {
    return side == White ? rankOf(square) == 7 : rankOf(square) == 0;
}

int capturedOn(int opp, int square) {
    const Bitboard b = squareBit[square];
    for (int p = Pawn; p <= Queen; ++p)
        if (board.pieceBits[opp][p] & b) return p;
    return NoPiece;
}

// Writes the four promotions queen, rook, bishop, knight of a pawn move; returns the new end.
Move* addPromotions(Move* out, int from, int to, int side) {
    if (!addMove(out, from, to, side, Pawn, Queen)) return out;
    const std::uint16_t base = out->flags & ~PromotionMask;
    for (int i = 1; i < 4; ++i) {
        out[i]       = out[0];
        out[i].flags = base | ((Queen - i) << 12);
    }
    return out + 4;
}

// One pawn move, or its four promotions on the last rank.
Move* addPawnMove(Move* out, int from, int to, int side) {
    if (onLastRank(side, to)) return addPromotions(out, from, to, side);
    return addMove(out, from, to, side, Pawn, 0) ? out + 1 : out;
}

Move* addPieceMoves(Move* out, int from, Bitboard targets, int side, int piece) {
    while (targets) {
        const int to = firstOne(targets);
        targets &= targets - 1;
        if (addMove(out, from, to, side, piece, 0)) ++out;
    }
    return out;
}

// Writes a knight, bishop, rook or queen move whose target addMove would accept: not the
// enemy king's square and not an own piece. The same record addMove writes.
inline Move* writePieceMove(Move* out, int from, int to, int opp, int piece) {
    const Bitboard toBit = squareBit[to];
    out->fromTo          = static_cast<std::uint16_t>(from * 64 + to);
    out->piece           = static_cast<std::int16_t>(piece);
    out->flags           = static_cast<std::uint16_t>(
        board.epSquare * 8 + ((board.colourBits[opp] & toBit) ? capturedOn(opp, to) : 0));
    return out + 1;
}

Bitboard pieceTargets(int piece, int from) {
    switch (piece) {
    case Knight: return knightAttacks[from];
    case Bishop: return bishopAttacksFrom(from);
    case Rook: return rookAttacksFrom(from);
    case Queen: return queenAttacksFrom(from);
    default: return kingAttacks[from];
    }
}

// The pieces' moves onto the squares of mask, knights to king, by ascending origin. Targets
// that addMove refuses for every piece (own pieces, the enemy king) are left out up front.
Move* genPieceMoves(int side, Move* out, Bitboard mask) {
    const int opp = side ^ 1;
    mask &= ~board.colourBits[side] & ~squareBit[board.kingSquare[opp]];
    for (int piece = Knight; piece <= Queen; ++piece) {
        Bitboard pieces = board.pieceBits[side][piece];
        while (pieces) {
            const int from = firstOne(pieces);
            pieces &= pieces - 1;
            Bitboard targets = pieceTargets(piece, from) & mask;
            while (targets) {
                out = writePieceMove(out, from, firstOne(targets), opp, piece);
                targets &= targets - 1;
            }
        }
    }
    const int king = board.kingSquare[side];
    return addPieceMoves(out, king, kingAttacks[king] & mask, side, King);
}

constexpr int PawnPushes = 1, PawnCaptures = 2;

// Writes a pawn move that addMove would accept, with its promotions on the last rank.
inline Move* writePawnMove(Move* out, int from, int to, int side) {
    const int      opp   = side ^ 1;
    const Bitboard toBit = squareBit[to];
    int            flags = board.epSquare * 8;
    if (board.colourBits[opp] & toBit)
        flags += capturedOn(opp, to);
    else if (to == board.epSquare)
        flags += EnPassantFlag | Pawn;
    Move move;
    move.fromTo = static_cast<std::uint16_t>(from * 64 + to);
    move.piece  = Pawn;
    if (!onLastRank(side, to)) {
        out->fromTo = move.fromTo;
        out->piece  = move.piece;
        out->flags  = static_cast<std::uint16_t>(flags);
        return out + 1;
    }
    for (int promotion = Queen; promotion >= Knight; --promotion, ++out) {
        out->fromTo = move.fromTo;
        out->piece  = move.piece;
        out->flags  = static_cast<std::uint16_t>(flags + promotion * 4096);
    }
    return out;
}

// Pawn moves by ascending origin, each pawn's targets ascending: pushes onto empty squares
// (the double step only over an empty square), captures of pieces other than the king, and
// the en-passant capture. The records are those addMove writes for the same candidates.
Move* genPawnMoves(int side, Move* out, int kinds) {
    const int      opp           = side ^ 1;
    const Bitboard empty         = ~board.occupied();
    Bitboard       captureSquares = board.colourBits[opp] & ~squareBit[board.kingSquare[opp]];
    if (board.epSquare != NoSquare) captureSquares |= squareBit[board.epSquare];
    Bitboard pawns = board.pieceBits[side][Pawn];
    while (pawns) {
        const int from = firstOne(pawns);
        pawns &= pawns - 1;
        Bitboard targets = 0;
        if (kinds & PawnCaptures) targets |= pawnAttacks[side][from] & captureSquares;
        if (kinds & PawnPushes) {
            const int single = side == White ? from + 8 : from - 8;
            if (empty & squareBit[single]) targets |= pawnPushes[side][from] & empty;
        }
        while (targets) {
            out = writePawnMove(out, from, firstOne(targets), side);
            targets &= targets - 1;
        }
    }
    return out;
}

bool canCastleQueenSide(int side) {
    const int king = side == White ? 4 : 60, corner = king - 4;
    const int opp  = side ^ 1;
    return board.kingSquare[side] == king && board.movedFrom[king] == 0 &&
           (board.pieceBits[side][Rook] & squareBit[corner]) && board.movedFrom[corner] == 0 &&
           (board.occupied() & (Bitboard{0x0E} << corner)) == 0 && !isAttacked(king - 2, opp) &&
           !isAttacked(king - 1, opp) && !isAttacked(king, opp);
}

bool canCastleKingSide(int side) {
    const int king = side == White ? 4 : 60, corner = king + 3;
    const int opp  = side ^ 1;
    return board.kingSquare[side] == king && board.movedFrom[king] == 0 &&
           (board.pieceBits[side][Rook] & squareBit[corner]) && board.movedFrom[corner] == 0 &&
           (board.occupied() & (Bitboard{0x60} << (king - 4))) == 0 && !isAttacked(king, opp) &&
           !isAttacked(king + 1, opp) && !isAttacked(king + 2, opp);
}

Move* genCastling(int side, Move* out) {
    const int king = side == White ? 4 : 60;
    if (canCastleQueenSide(side)) {
        addMove(out, king, king - 2, side, King, 0);
        ++out;
    }
    if (canCastleKingSide(side)) {
        addMove(out, king, king + 2, side, King, 0);
        ++out;
    }
    return out;
}

}  // namespace

bool addMove(Move* out, int from, int to, int side, int piece, int promotion) {
    const int      opp    = side ^ 1;
    const Bitboard toBit  = squareBit[to];
    if (to == board.kingSquare[opp]) return false;
    if (board.colourBits[side] & toBit) return false;
    if (piece == King && isAttacked(to, opp)) return false;
    if (piece == Pawn) {
        if (fileOf(from) != fileOf(to)) {
            if (!(board.colourBits[opp] & toBit) && to != board.epSquare) return false;
        } else {
            if (board.occupied() & toBit) return false;
            const int rankDistance = rankOf(from) - rankOf(to);
            if ((rankDistance > 1 || rankDistance < -1) &&
                (pawnPushes[side][from] & board.occupied()))
                return false;
        }
    }

    int flags = board.epSquare * 8 + ((board.colourBits[opp] & toBit) ? capturedOn(opp, to) : 0);
    if (piece == Pawn) {
        flags += promotion * 4096;
        if (to == board.epSquare) flags += EnPassantFlag | Pawn;
    } else if (piece == King && ((from == 4 && (to == 6 || to == 2)) ||
                                 (from == 60 && (to == 62 || to == 58)))) {
        flags += CastleFlag;
    }
    out->fromTo = static_cast<std::uint16_t>(from * 64 + to);
    out->piece  = static_cast<std::int16_t>(piece);
    out->flags  = static_cast<std::uint16_t>(flags);
    return true;
}

Move* genAllMoves(int side, Move* out) {
    out = genPawnMoves(side, out, PawnPushes | PawnCaptures);
    out = genPieceMoves(side, out, ~Bitboard{0});
    return genCastling(side, out);
}

Move* genCaptures(int side, Move* out) {
    out = genPawnMoves(side, out, PawnCaptures);
    return genPieceMoves(side, out, board.colourBits[side ^ 1]);
}

Move* genNonCaptures(int side, Move* out) {
    out = genPawnMoves(side, out, PawnPushes);
    out = genPieceMoves(side, out, ~board.occupied());
    return genCastling(side, out);
}

Move* genMovesTo(int side, Move* out, int target) {
    const int      opp       = side ^ 1;
    const Bitboard targetBit = squareBit[target];
    const Bitboard* own      = board.pieceBits[side];

    if (target == board.epSquare || (board.colourBits[opp] & targetBit)) {
        Bitboard pawns = pawnAttacks[opp][target] & own[Pawn];
        while (pawns) {
            const int from = firstOne(pawns);
            pawns &= pawns - 1;
            out = addPawnMove(out, from, target, side);
        }
    }
    if (side == White && rankOf(target) != 0) {
        const int f = target - 8;
        if (own[Pawn] & squareBit[f])
            out = addPawnMove(out, f, target, side);
        else if (rankOf(target) == 3 && !(board.occupied() & squareBit[f]) &&
                 (own[Pawn] & squareBit[target - 16]))
            out = addPawnMove(out, target - 16, target, side);
    }
    if (side == Black && rankOf(target) != 7) {
        const int f = target + 8;
        if (own[Pawn] & squareBit[f])
            out = addPawnMove(out, f, target, side);
        else if (rankOf(target) == 4 && !(board.occupied() & squareBit[f]) &&
                 (own[Pawn] & squareBit[target + 16]))
            out = addPawnMove(out, target + 16, target, side);
    }

    const Bitboard diagonals = bishopAttacksFrom(target);
    const Bitboard lines     = rookAttacksFrom(target);
    const PieceSet sources[4] = {{Knight, knightAttacks[target] & own[Knight]},
                                 {Bishop, diagonals & own[Bishop]},
                                 {Rook, lines & own[Rook]},
                                 {Queen, (diagonals | lines) & own[Queen]}};
    for (const PieceSet& source : sources) {
        Bitboard pieces = source.squares;
        while (pieces) {
            const int from = firstOne(pieces);
            pieces &= pieces - 1;
            if (addMove(out, from, target, side, source.piece, 0)) ++out;
        }
    }
    return out;
}

Move* genEvasions(int side, Move* out) {
    const int       opp   = side ^ 1;
    const int       k     = board.kingSquare[side];
    const Bitboard* enemy = board.pieceBits[opp];

    const PieceSet checkers[5] = {{Knight, knightAttacks[k] & enemy[Knight]},
                                  {Bishop, bishopAttacksFrom(k) & enemy[Bishop]},
                                  {Rook, rookAttacksFrom(k) & enemy[Rook]},
                                  {Queen, queenAttacksFrom(k) & enemy[Queen]},
                                  {Pawn, pawnAttacks[side][k] & enemy[Pawn]}};
    int      checkingTypes = 0, lastType = NoPiece;
    Bitboard lastSet = 0;
    for (const PieceSet& checking : checkers)
        if (checking.squares) {
            ++checkingTypes;
            lastType = checking.piece;
            lastSet  = checking.squares;
        }
    const bool single  = checkingTypes == 1 && popCount(lastSet) == 1;
    const int  checker = single ? firstOne(lastSet) : NoSquare;

    if (single) {
        out = genMovesTo(side, out, checker);
        const int ep = board.epSquare;
        if (lastType == Pawn && ep != NoSquare && checker + (side == White ? 8 : -8) == ep) {
            Bitboard pawns = pawnAttacks[opp][ep] & board.pieceBits[side][Pawn];
            while (pawns) {
                const int from = firstOne(pawns);
                pawns &= pawns - 1;
                if (addMove(out, from, ep, side, Pawn, 0)) ++out;
            }
        }
    }

    out = addPieceMoves(out, k, kingAttacks[k] & board.colourBits[opp], side, King);
    out = addPieceMoves(out, k, kingAttacks[k] & ~board.colourBits[opp], side, King);

    if (single && (lastType == Bishop || lastType == Rook || lastType == Queen)) {
        const Bitboard sliders = enemy[lastType];
        int            step    = 0;
        if (lastType != Bishop) {
            if (fileAttacksFrom(k) & sliders)
                step = checker > k ? 8 : -8;
            else if (rankAttacksFrom(k) & sliders)
                step = checker > k ? 1 : -1;
        }
        if (lastType != Rook) {
            if (diagA8H1AttacksFrom(k) & sliders)
                step = checker > k ? 7 : -7;
            else if (diagA1H8AttacksFrom(k) & sliders)
                step = checker > k ? 9 : -9;
        }
        if (step != 0)
            for (int s = k + step; s != checker; s += step) out = genMovesTo(side, out, s);
    }
    return out;
}

bool moveFromCoords(Move* out, int side, int packed) {
    if (packed == 0) return false;
    const int      from    = (packed >> 6) & 63;
    const int      to      = packed & 63;
    const Bitboard fromBit = squareBit[from], toBit = squareBit[to];

    int piece = NoPiece;
    for (int p = Pawn; p <= King; ++p)
        if (board.pieceBits[side][p] & fromBit) {
            piece = p;
            break;
        }
    if (piece == NoPiece) return false;

    Bitboard reach = 0;
    switch (piece) {
    case Pawn: reach = pawnPushes[side][from] | pawnAttacks[side][from]; break;
    case King: reach = kingAttacks[from]; break;
    default: reach = pieceTargets(piece, from); break;
    }
    if (!(reach & toBit)) {
        if (piece != King) return false;
        const int home = side == White ? 4 : 60;
        const bool castles = from == home && ((to == home - 2 && canCastleQueenSide(side)) ||
                                              (to == home + 2 && canCastleKingSide(side)));
        if (!castles) return false;
        return addMove(out, from, to, side, King, 0);
    }
    const int promotion = piece == Pawn && onLastRank(side, to) ? Queen : 0;
    return addMove(out, from, to, side, piece, promotion);
}
