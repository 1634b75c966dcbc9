// The one engine position and the move record.
#pragma once

#include <cstdint>

using Bitboard = std::uint64_t;

inline constexpr int White = 0, Black = 1;
inline constexpr int NoSquare = 64;

// Piece types. Colour always travels separately.
inline constexpr int NoPiece = 0, Pawn = 1, Knight = 2, Bishop = 3, Rook = 4, Queen = 5, King = 6;

// Move flags beyond the captured type (bits 0-2) and the previous ep square (bits 3-9).
inline constexpr int EnPassantFlag = 0x400;
inline constexpr int CastleFlag    = 0x800;
inline constexpr int PromotionMask = 0x7000;

// A move in eight bytes.
// fromTo  bits 0-5 destination, 6-11 origin, 12-15 zero; 0 is "no move"
// piece   moving piece type 1-6; 0 is a null move or the end of a list
// flags   0-2 captured type (1 for en passant), 3-9 ep square before the move (0-64),
//         0x400 en passant, 0x800 castling, 12-14 promotion type
// score   ordering score, written only by the search
struct Move {
    std::uint16_t fromTo;
    std::int16_t  piece;
    std::uint16_t flags;
    std::int16_t  score;
};
static_assert(sizeof(Move) == 8);

inline int moveFrom(const Move& m) { return (m.fromTo >> 6) & 63; }
inline int moveTo(const Move& m) { return m.fromTo & 63; }
inline int capturedType(const Move& m) { return m.flags & 7; }
inline int promotionType(const Move& m) { return (m.flags >> 12) & 7; }
inline int previousEpSquare(const Move& m) { return (m.flags >> 3) & 0x7F; }

// Slots of pieceBits that hold the occupancy sets rather than pieces.
inline constexpr int OccupancySlot = 0, RotatedSlot = 7;

struct Board {
    // [colour][1..6]: the pieces. The spare slots hold the occupancy sets:
    // [White][0] occupied, [White][7] occupiedDiagA8H1,
    // [Black][0] occupiedFiles, [Black][7] occupiedDiagA1H8.
    Bitboard      pieceBits[2][8];
    Bitboard      colourBits[2];
    std::int32_t  kingSquare[2];
    std::int32_t  epSquare;  // square a double-pushed pawn passed over, only when it can be taken
    std::int32_t  sideToMove;
    std::uint64_t hashKey;
    std::int32_t  movedFrom[64];  // moves now on the board that started on each square
    std::int32_t  material[2];    // pieceValue sum per colour, king included

    // All occupied squares, bit n = square n.
    Bitboard& occupied() { return pieceBits[White][OccupancySlot]; }
    Bitboard  occupied() const { return pieceBits[White][OccupancySlot]; }
    // Rotated 90 degrees: byte f is file f, rank 8 in its lowest bit.
    Bitboard& occupiedFiles() { return pieceBits[Black][OccupancySlot]; }
    Bitboard  occupiedFiles() const { return pieceBits[Black][OccupancySlot]; }
    // Rotated for the a8-h1 diagonals (rank + file constant).
    Bitboard& occupiedDiagA8H1() { return pieceBits[White][RotatedSlot]; }
    Bitboard  occupiedDiagA8H1() const { return pieceBits[White][RotatedSlot]; }
    // Rotated for the a1-h8 diagonals (rank - file constant).
    Bitboard& occupiedDiagA1H8() { return pieceBits[Black][RotatedSlot]; }
    Bitboard  occupiedDiagA1H8() const { return pieceBits[Black][RotatedSlot]; }

    bool operator==(const Board&) const = default;
};

// The engine position, written only by setupStartPosition, setupFromFen, makeMove and unmakeMove.
// Each thread has its own: a think or a pass over a file on a worker thread starts from a
// copy and never disturbs the position the window shows. constinit: it is never dynamically
// initialised, so reading it costs one thread-pointer-relative load and no wrapper call.
extern thread_local constinit Board board;

// Adds a piece to b: its piece set, colour set, the four occupancy sets and its key. Used
// only while a position is being set up; moves change the Board through makeMove.
void placePiece(Board& b, int colour, int piece, int square);

// Puts the Board in the initial position, White to move, and clears the current game's move list.
void setupStartPosition();
// The same for the Board alone: the game's move list, shared by all threads, is left alone.
void setupStartBoard();

inline constexpr int fileOf(int square) { return square & 7; }
inline constexpr int rankOf(int square) { return square >> 3; }
