#include "records/san.h"

#include "engine/attacks.h"
#include "engine/makemove.h"
#include "engine/movegen.h"

namespace {

constexpr char pieceLetters[] = "?PNBRQK";

// The states of the SAN reader, which reads a token from its last character backwards.
enum SanState {
    SanStart          = 0, // at the end: suffixes, promotion letter or destination rank
    SanPromotion      = 1, // a promotion letter read
    SanEquals         = 2, // "=" before the promotion letter read
    SanRank           = 3, // destination rank read
    SanDestination    = 4, // destination square read
    SanCapture        = 5, // "x" read
    SanOriginRank     = 6,
    SanOriginFile     = 7,
    SanPiece          = 8,  // piece letter read: stop
    SanCastle         = 9,  // "O"
    SanCastleDash     = 10, // "-O"
    SanCastleShort    = 11, // "O-O"
    SanCastleLongDash = 12, // "-O-O"
    SanCastleLong     = 13, // "O-O-O": stop
    SanInvalid        = 14,
};

constexpr bool isCastleLetter(char c) { return c == 'O' || c == '0' || c == 'o'; }

int pieceOfLetter(char c) {
    switch (c) {
    case 'P':
        return Pawn;
    case 'N':
        return Knight;
    case 'B':
        return Bishop;
    case 'R':
        return Rook;
    case 'Q':
        return Queen;
    case 'K':
        return King;
    default:
        return NoPiece;
    }
}

// Own pieces of one type that reach square, with the current occupancy.
Bitboard attackersOfType(int side, int piece, int square) {
    const Bitboard own = board.pieceBits[side][piece];
    switch (piece) {
    case Knight:
        return knightAttacks[square] & own;
    case Bishop:
        return bishopAttacksFrom(square) & own;
    case Rook:
        return rookAttacksFrom(square) & own;
    case Queen:
        return queenAttacksFrom(square) & own;
    case King:
        return kingAttacks[square] & own;
    default:
        return 0;
    }
}

// A built move is accepted only when it keeps the mover's king safe.
bool acceptLegal(const Move& move, Move* out) {
    if (leavesKingAttacked(move)) return false;
    *out = move;
    return true;
}

bool readPawnPush(int side, int to, int promotion, Move* out) {
    const int forward  = side == White ? 8 : -8;
    const int lastRank = side == White ? 7 : 0;
    if (rankOf(to) == (side == White ? 0 : 7)) return false;
    if ((rankOf(to) == lastRank) != (promotion != 0)) return false;
    const Bitboard pawns  = board.pieceBits[side][Pawn];
    const int      behind = to - forward;
    int            from   = NoSquare;
    if (pawns & squareBit[behind]) {
        from = behind;
    } else if (!(board.occupied() & squareBit[behind]) && rankOf(to) == (side == White ? 3 : 4) &&
               (pawns & squareBit[behind - forward])) {
        from = behind - forward;
    } else {
        return false;
    }
    Move move{};
    if (!addMove(&move, from, to, side, Pawn, promotion)) return false;
    return acceptLegal(move, out);
}

bool readPawnCapture(int side, int to, int originFile, int promotion, Move* out) {
    const int lastRank = side == White ? 7 : 0;
    // A pawn takes on a neighbouring file only: "axh5" or "exe5" name no capture.
    if (originFile - fileOf(to) != 1 && fileOf(to) - originFile != 1) return false;
    if (rankOf(to) == (side == White ? 0 : 7)) return false;
    if ((rankOf(to) == lastRank) != (promotion != 0)) return false;
    const int from = (rankOf(to) + (side == White ? -1 : 1)) * 8 + originFile;
    if (!(board.pieceBits[side][Pawn] & squareBit[from])) return false;
    if (!(board.colourBits[side ^ 1] & squareBit[to]) && to != board.epSquare) return false;
    Move move{};
    if (!addMove(&move, from, to, side, Pawn, promotion)) return false;
    return acceptLegal(move, out);
}

// The lowest origin among the pieces of the type that reach to, filtered by the origin file
// and rank when given, that makes a legal move. An origin named in full must also reach to.
bool readPieceMove(int side, int piece, int to, int originFile, int originRank, Move* out) {
    Bitboard candidates = attackersOfType(side, piece, to);
    if (originFile >= 0) candidates &= Bitboard{0x0101010101010101} << originFile;
    if (originRank >= 0) candidates &= Bitboard{0xFF} << (originRank * 8);
    while (candidates) {
        const int from = firstOne(candidates);
        candidates &= candidates - 1;
        Move move{};
        if (addMove(&move, from, to, side, piece, 0) && acceptLegal(move, out)) return true;
    }
    return false;
}

bool readCastling(int side, bool kingSide, Move* out) {
    const int king = side == White ? 4 : 60;
    Move      move{};
    if (!moveFromCoords(&move, side, king * 64 + (kingSide ? king + 2 : king - 2))) return false;
    // Without this a rook standing on the king's home square would "castle".
    if (!(move.flags & CastleFlag)) return false;
    return acceptLegal(move, out);
}

// Does the move just made leave the side now to move in check? "+", "#" or nothing.
char checkSuffix(int mover) {
    const int opp = mover ^ 1;
    if (!isAttacked(board.kingSquare[opp], mover)) return '\0';
    return mateStatus(opp) == Checkmated ? '#' : '+';
}

} // namespace

bool moveToSan(const Move& move, char* out) {
    if (!out) return false;
    const int side = board.sideToMove;
    const int from = moveFrom(move), to = moveTo(move);
    int       n = 0;

    if (move.flags & CastleFlag) {
        const char* text = to > from ? "O-O" : "O-O-O";
        while (*text)
            out[n++] = *text++;
    } else {
        const int piece = move.piece;
        if (piece == Pawn) {
            if (capturedType(move)) {
                out[n++] = static_cast<char>('a' + fileOf(from));
                out[n++] = 'x';
            }
        } else {
            out[n++]            = pieceLetters[piece];
            Bitboard candidates = piece == King ? 0 : attackersOfType(side, piece, to);
            int      count      = popCount(candidates);
            if (count > 1) {
                bool sameFile = false, sameRank = false;
                for (Bitboard rest = candidates & ~squareBit[from]; rest; rest &= rest - 1) {
                    const int other = firstOne(rest);
                    Move      twin{};
                    if (!moveFromCoords(&twin, side, other * 64 + to)) continue;
                    if (leavesKingAttacked(twin)) {
                        --count; // a pinned twin cannot make the move
                        continue;
                    }
                    if (((other ^ from) & 7) == 0) sameFile = true;
                    if ((other ^ from) < 8) sameRank = true;
                }
                if (sameRank || (count > 1 && !sameFile))
                    out[n++] = static_cast<char>('a' + fileOf(from));
                if (sameFile) out[n++] = static_cast<char>('1' + rankOf(from));
            }
            if (capturedType(move)) out[n++] = 'x';
        }
        out[n++] = static_cast<char>('a' + fileOf(to));
        out[n++] = static_cast<char>('1' + rankOf(to));
        if (promotionType(move)) {
            out[n++] = '=';
            out[n++] = pieceLetters[promotionType(move)];
        }
    }
    makeMove(move);
    const char suffix = checkSuffix(side);
    unmakeMove(move);
    if (suffix) out[n++] = suffix;
    out[n] = '\0';
    return true;
}

bool sanToMove(const char* text, int last, Move* out) {
    if (!text || last < 0 || last >= 8) return false;
    const int  side     = board.sideToMove;
    const char lastRank = side == White ? '8' : '1';
    int        state = SanStart, promotion = 0, rank = 0, to = NoSquare;
    int        originFile = -1, originRank = -1, piece = NoPiece;

    for (int i = last; i >= 0 && state != SanPiece && state != SanCastleLong; --i) {
        const char c = text[i];
        switch (state) {
        case SanStart:
            if (c == 'Q' || c == 'R' || c == 'B' || c == 'N') {
                promotion = pieceOfLetter(c);
                state     = SanPromotion;
            } else if (c >= '1' && c <= '8') {
                rank  = c - '1';
                state = SanRank;
            } else if (isCastleLetter(c)) {
                state = SanCastle;
            } else if (c != '+' && c != '#' && c != '?' && c != '!') {
                state = SanInvalid;
            }
            break;
        case SanPromotion:
        case SanEquals:
            if (c == '=' && state == SanPromotion) {
                state = SanEquals;
            } else if (c == lastRank) {
                rank  = c - '1';
                state = SanRank;
            } else {
                state = SanInvalid;
            }
            break;
        case SanRank:
            if (c >= 'a' && c <= 'h') {
                to    = rank * 8 + (c - 'a');
                state = SanDestination;
            } else {
                state = SanInvalid;
            }
            break;
        case SanDestination:
        case SanCapture:
        case SanOriginRank:
        case SanOriginFile:
            if (c == 'x' && state == SanDestination) {
                state = SanCapture;
            } else if (c >= '1' && c <= '8' && (state == SanDestination || state == SanCapture)) {
                originRank = c - '1';
                state      = SanOriginRank;
            } else if (c >= 'a' && c <= 'h' && state != SanOriginFile) {
                originFile = c - 'a';
                state      = SanOriginFile;
            } else if ((piece = pieceOfLetter(c)) != NoPiece) {
                state = SanPiece;
            } else {
                state = SanInvalid;
            }
            break;
        case SanCastle:
            state = c == '-' ? SanCastleDash : SanInvalid;
            break;
        case SanCastleDash:
            state = isCastleLetter(c) ? SanCastleShort : SanInvalid;
            break;
        case SanCastleShort:
            state = c == '-' ? SanCastleLongDash : SanInvalid;
            break;
        case SanCastleLongDash:
            state = isCastleLetter(c) ? SanCastleLong : SanInvalid;
            break;
        default:
            state = SanInvalid;
            break;
        }
        if (state == SanInvalid) return false;
    }

    switch (state) {
    case SanDestination:
        return readPawnPush(side, to, promotion, out);
    case SanOriginFile:
        if (piece == NoPiece) return readPawnCapture(side, to, originFile, promotion, out);
        return false;
    case SanPiece:
        if (piece == Pawn || promotion) return false;
        return readPieceMove(side, piece, to, originFile, originRank, out);
    case SanCastleShort:
        return readCastling(side, true, out);
    case SanCastleLong:
        return readCastling(side, false, out);
    default:
        return false;
    }
}
