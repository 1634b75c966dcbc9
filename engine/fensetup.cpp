#include "engine/fensetup.h"

#include <cstdio>
#include <cstring>

#include "engine/attacks.h"
#include "records/game.h"

namespace {

bool fail(char* error, std::size_t errorSize, const char* reason, const char* detail = "") {
    if (error && errorSize > 0) std::snprintf(error, errorSize, "%s%s", reason, detail);
    return false;
}

const char* skipSpaces(const char* p) {
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

// Reads one space-separated field into field (at most size - 1 characters); answers the
// position after it, or nullptr when the field is too long.
const char* readField(const char* p, char* field, std::size_t size) {
    p = skipSpaces(p);
    std::size_t n = 0;
    while (*p && *p != ' ' && *p != '\t' && *p != '\n' && *p != '\r') {
        if (n + 1 >= size) return nullptr;
        field[n++] = *p++;
    }
    field[n] = '\0';
    return p;
}

int pieceFromLetter(char c, int* colour) {
    static constexpr char letters[] = "pnbrqk";
    const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    const char* at   = std::strchr(letters, lower);
    if (!at || lower == '\0') return NoPiece;
    *colour = c == lower ? Black : White;
    return static_cast<int>(at - letters) + Pawn;
}

bool readPlacement(const char* text, Board& b, char* error, std::size_t errorSize) {
    int rank = 7, file = 0;
    int kings[2] = {0, 0};
    for (const char* p = text; *p; ++p) {
        const char c = *p;
        if (c == '/') {
            if (file != 8) return fail(error, errorSize, "a rank of the placement does not have 8 squares");
            if (rank == 0) return fail(error, errorSize, "the placement has more than 8 ranks");
            --rank;
            file = 0;
        } else if (c >= '1' && c <= '8') {
            file += c - '0';
            if (file > 8) return fail(error, errorSize, "a rank of the placement has more than 8 squares");
        } else {
            int       colour = White;
            const int piece  = pieceFromLetter(c, &colour);
            const char letter[2] = {c, '\0'};
            if (piece == NoPiece) return fail(error, errorSize, "unexpected character in the placement: ", letter);
            if (file >= 8) return fail(error, errorSize, "a rank of the placement has more than 8 squares");
            if (piece == Pawn && (rank == 0 || rank == 7))
                return fail(error, errorSize, "a pawn stands on the first or last rank");
            if (piece == King) {
                ++kings[colour];
                b.kingSquare[colour] = rank * 8 + file;
            }
            placePiece(b, colour, piece, rank * 8 + file);
            b.material[colour] += pieceValue[piece];
            ++file;
        }
    }
    if (rank != 0 || file != 8) return fail(error, errorSize, "the placement does not describe 8 ranks of 8 squares");
    if (kings[White] != 1 || kings[Black] != 1)
        return fail(error, errorSize, "each side needs exactly one king");
    return true;
}

struct CastlingRight {
    char letter;
    int  colour, king, corner, key;
};
constexpr CastlingRight castlingRights[4] = {
    {'K', White, 4, 7, 1}, {'Q', White, 4, 0, 0}, {'k', Black, 60, 63, 3}, {'q', Black, 60, 56, 2}};

bool readCastling(const char* text, Board& b, char* error, std::size_t errorSize) {
    bool present[4] = {false, false, false, false};
    if (std::strcmp(text, "-") != 0) {
        for (const char* p = text; *p; ++p) {
            int i = 0;
            while (i < 4 && castlingRights[i].letter != *p) ++i;
            const char letter[2] = {*p, '\0'};
            if (i == 4) return fail(error, errorSize, "unknown castling letter: ", letter);
            if (present[i]) return fail(error, errorSize, "castling letter repeated: ", letter);
            present[i] = true;
        }
    }
    for (int i = 0; i < 4; ++i) {
        const CastlingRight& right = castlingRights[i];
        if (present[i]) {
            // A right needs its king at home. Its rook may be gone: a rook taken on its corner
            // leaves the right's key in a game's hash, and the board text still names it.
            const char letter[2] = {right.letter, '\0'};
            if (b.kingSquare[right.colour] != right.king)
                return fail(error, errorSize, "castling right without its king at home: ", letter);
            b.hashKey ^= zobristKeys[White][0][right.key];
        } else {
            b.movedFrom[right.corner] = 1;
        }
    }
    return true;
}

bool readEnPassant(const char* text, Board& b, char* error, std::size_t errorSize) {
    if (std::strcmp(text, "-") == 0) return true;
    const int mover = b.sideToMove, opp = mover ^ 1;
    const int wantedRank = mover == White ? 5 : 2;
    if (std::strlen(text) != 2 || text[0] < 'a' || text[0] > 'h' || text[1] - '1' != wantedRank)
        return fail(error, errorSize, "bad en-passant square: ", text);
    const int square = wantedRank * 8 + (text[0] - 'a');
    const int pushed = mover == White ? square - 8 : square + 8;
    const int origin = mover == White ? square + 8 : square - 8;
    if (!(b.pieceBits[opp][Pawn] & squareBit[pushed]) ||
        (b.occupied() & (squareBit[square] | squareBit[origin])))
        return fail(error, errorSize, "no pawn can just have passed the en-passant square ", text);
    if (pawnAttacks[opp][square] & b.pieceBits[mover][Pawn]) {
        b.epSquare = square;
        b.hashKey ^= zobristKeys[White][0][square];
    }
    return true;
}

bool isCounter(const char* text) {
    if (!*text) return false;
    for (const char* p = text; *p; ++p)
        if (*p < '0' || *p > '9') return false;
    return std::strlen(text) <= 6;
}

}  // namespace

bool setupFromFen(const char* fen, char* error, std::size_t errorSize) {
    if (!setupBoardFromFen(fen, error, errorSize)) return false;
    gameMoves[0] = Move{};
    return true;
}

bool setupBoardFromFen(const char* fen, char* error, std::size_t errorSize) {
    if (!fen) return fail(error, errorSize, "no FEN given");
    char placement[128], side[8], castling[8], ep[8], halfmove[16], fullmove[16];
    const char* p = readField(fen, placement, sizeof placement);
    if (!p || !*placement) return fail(error, errorSize, "the FEN has no valid placement field");
    p = readField(p, side, sizeof side);
    if (!p || !*side) return fail(error, errorSize, "the FEN has no side to move");
    p = readField(p, castling, sizeof castling);
    if (!p || !*castling) return fail(error, errorSize, "the FEN has no valid castling field");
    p = readField(p, ep, sizeof ep);
    if (!p || !*ep) return fail(error, errorSize, "the FEN has no valid en-passant field");
    p = readField(p, halfmove, sizeof halfmove);
    if (p) p = readField(p, fullmove, sizeof fullmove);
    if (!p) return fail(error, errorSize, "the FEN's move counters are not numbers");
    const char* rest = skipSpaces(p);
    while (*rest == '\r' || *rest == '\n' || *rest == ' ' || *rest == '\t') ++rest;
    if (*rest) return fail(error, errorSize, "unexpected text after the FEN: ", rest);
    if ((*halfmove && !isCounter(halfmove)) || (*fullmove && !isCounter(fullmove)) ||
        (*halfmove && !*fullmove))
        return fail(error, errorSize, "the FEN's move counters are not two numbers");

    Board b{};
    b.epSquare = NoSquare;
    if (!readPlacement(placement, b, error, errorSize)) return false;
    if (std::strcmp(side, "w") == 0)
        b.sideToMove = White;
    else if (std::strcmp(side, "b") == 0)
        b.sideToMove = Black;
    else
        return fail(error, errorSize, "the side to move must be w or b, not ", side);
    if (b.sideToMove == Black) b.hashKey ^= zobristKeys[White][0][4];
    if (!readCastling(castling, b, error, errorSize)) return false;
    if (!readEnPassant(ep, b, error, errorSize)) return false;

    const Board saved = board;
    board             = b;
    if (isAttacked(board.kingSquare[board.sideToMove ^ 1], board.sideToMove)) {
        board = saved;
        return fail(error, errorSize, "the side not to move is in check");
    }
    return true;
}
