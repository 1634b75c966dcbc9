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
    // A right stands while its king and rook stand unmoved on their squares (a rook taken on
    // its corner never moved from it, so the piece itself is looked at too).
    const std::int32_t* moved     = board.movedFrom;
    const std::size_t   before    = out.length();
    const auto          unmoved   = [moved](int colour, int piece, int square) {
        return moved[square] == 0 && (board.pieceBits[colour][piece] & squareBit[square]);
    };
    static constexpr struct {
        int  colour, king, rook;
        char letter;
    } rights[] = {{White, 4, 7, 'K'}, {White, 4, 0, 'Q'}, {Black, 60, 63, 'k'}, {Black, 60, 56, 'q'}};
    for (const auto& right : rights)
        if (unmoved(right.colour, King, right.king) && unmoved(right.colour, Rook, right.rook))
            out.put(right.letter);
    if (out.length() == before) out.put('-');

    out.put(' ');
    if (board.epSquare == NoSquare)
        out.put('-');
    else
        out.put(static_cast<char>('a' + fileOf(board.epSquare))).put(static_cast<char>('1' + rankOf(board.epSquare)));
    // The counters continue those of the game's start: the half-move clock counts the plies
    // since the game's last capture or pawn move.
    const GameStart start = gameStart();
    int             clock = start.halfMoveClock;
    for (int k = 0; k < gamePly && k < MaxGameMoves && gameMoves[k].piece; ++k)
        clock = gameMoves[k].piece == Pawn || capturedType(gameMoves[k]) ? 0 : clock + 1;
    out.put(' ').putInt(clock).put(' ');
    out.putInt(start.moveNumber + (gamePly + (start.blackFirst ? 1 : 0)) / 2);
}
