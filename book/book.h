// The opening book: book.dat, a fixed-size hash table of 16-byte position records on disk.
//
// Record (little-endian, no file header):
//   bytes 0-3   low 32 bits of the position's hashKey
//   bytes 4-7   high 32 bits
//   bytes 8-15  four book moves of 16 bits, origin * 64 + destination; 0 = empty slot.
//               A pawn move to the last rank is a queen promotion. Moves fill slots from 0.
// A position's record lies in slot (key & 0xFFFF) or one of the 15 slots after it; a complete
// book is 65551 records. A shorter file simply has no records past its end.
#pragma once

#include <cstddef>

#include "engine/board.h"

inline constexpr std::size_t BookPathSize     = 4096;
inline constexpr int         BookRecordSize   = 16;
inline constexpr int         BookWindowLength = 16;  // records read per probe
inline constexpr int         BookMovesPerRecord = 4;

// Where probeBook looks for the book: "book.dat" after initEngine, the program's own
// directory followed by "book.dat" once the program has set it.
extern char bookPath[BookPathSize];

// Copies path into bookPath; a path that does not fit is cut and stays zero-terminated.
void setBookPath(const char* path);

// Looks the Board's position up in the book at bookPath. True when out now holds a legal book
// move for side, chosen with rand among the record's moves; false when there is no file, no
// record, no move, or the move drawn is not legal here; a path that is not a regular file (a
// FIFO, a device, a folder) is no book, and never waited on. Reads one 256-byte window per call
// and keeps nothing.
bool probeBook(int side, Move* out);
