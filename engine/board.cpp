#include "engine/board.h"

#include <cstring>

#include "engine/attacks.h"
#include "records/game.h"

thread_local constinit Board board{};

void placePiece(Board& b, int colour, int piece, int square) {
    const Bitboard bit = squareBit[square];
    b.pieceBits[colour][piece] |= bit;
    b.colourBits[colour] |= bit;
    b.occupied() |= bit;
    b.occupiedFiles() |= squareBit[rotFilesIndex[square]];
    b.occupiedDiagA8H1() |= squareBit[rotA8H1Index[square]];
    b.occupiedDiagA1H8() |= squareBit[rotA1H8Index[square]];
    b.hashKey ^= zobristKeys[colour][piece][square];
}

void setupStartPosition() {
    setupStartBoard();
    gameMoves[0] = Move{};
}

void setupStartBoard() {
    std::memset(board.movedFrom, 0, sizeof board.movedFrom);
    std::memset(board.pieceBits, 0, sizeof board.pieceBits);
    std::memset(board.colourBits, 0, sizeof board.colourBits);
    board.material[White] = board.material[Black] = 5610;
    board.epSquare                                = NoSquare;
    board.hashKey                                 = 0;
    board.sideToMove                              = White;
    board.kingSquare[White]                       = 4;
    board.kingSquare[Black]                       = 60;

    for (int s = 8; s < 16; ++s) placePiece(board, White, Pawn, s);
    for (int s = 48; s < 56; ++s) placePiece(board, Black, Pawn, s);
    static constexpr int backRank[8] = {Rook, Knight, Bishop, Queen, King, Bishop, Knight, Rook};
    for (int f = 0; f < 8; ++f) {
        placePiece(board, White, backRank[f], f);
        placePiece(board, Black, backRank[f], 56 + f);
    }
    for (int right = 0; right < 4; ++right) board.hashKey ^= zobristKeys[White][0][right];
}
