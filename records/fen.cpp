#include "records/fen.h"

#include "engine/attacks.h"
#include "records/game.h"
#include "records/textout.h"

void boardToText(char* buffer, std::size_t size) {
    if (!buffer || size < 16) return;
    static constexpr char letters[2][9] = {"*PNBRQK*", "*pnbrqk*"};
    TextOut out(buffer, size);

    for (int rank = 7; rank >= 0; --rank) {
        int empty = 0;
        for (int file = 0; file < 8; ++file) {
            const int      square = rank * 8 + file;
            const Bitboard bit    = squareBit[square];
            if (!(board.occupied() & bit)) {
                ++empty;
                continue;
            }
            if (empty) out.putInt(empty);
            empty            = 0;
            const int colour = (board.colourBits[White] & bit) ? White : Black;
            int       piece  = Pawn;
            while (piece < King && !(board.pieceBits[colour][piece] & bit)) ++piece;
            out.put(letters[colour][piece]);
        }
        if (empty) out.putInt(empty);
        if (rank) out.put('/');
    }

    out.put(' ').put(board.sideToMove == White ? 'w' : 'b').put(' ');
    const std::int32_t* moved   = board.movedFrom;
    const std::size_t   before  = out.length();
    if (moved[4] == 0) {
        if (moved[7] == 0) out.put('K');
        if (moved[0] == 0) out.put('Q');
    }
    if (moved[60] == 0) {
        if (moved[63] == 0) out.put('k');
        if (moved[56] == 0) out.put('q');
    }
    if (out.length() == before) out.put('-');

    out.put(' ');
    if (board.epSquare == NoSquare)
        out.put('-');
    else
        out.put(static_cast<char>('a' + fileOf(board.epSquare))).put(static_cast<char>('1' + rankOf(board.epSquare)));
    out.put(" 0 ").putInt(gamePly / 2 + 1);
}
