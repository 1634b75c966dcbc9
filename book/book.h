// The opening book: book.dat, a fixed-size hash table of 16-byte position records on disk.
#pragma once

#include <cstddef>

#include "engine/board.h"

inline constexpr std::size_t BookPathSize = 4096;

// Where probeBook looks for the book: "book.dat" after initEngine, the program's own
// directory followed by "book.dat" once the program has set it.
extern char bookPath[BookPathSize];

// Copies path into bookPath; a path that does not fit is cut and stays zero-terminated.
void setBookPath(const char* path);
