// Compiling a book.dat from games: the positions of their first plies and the moves played
// from them. A tool for the build and the command line; the program itself only reads books.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/board.h"

// Every position seen and how often each move was played from it.
struct BookCollection {
    struct MoveCount {
        std::uint16_t packed;  // origin * 64 + destination
        std::uint32_t count;
    };
    struct Position {
        std::vector<MoveCount> moves;  // in order of first appearance
        std::uint64_t          total = 0;
    };
    std::unordered_map<std::uint64_t, Position> positions;
};

// Replays the first plies of moves (a game from the initial position) and counts each
// position's move. Stops early at a promotion to anything but a queen: the book can only
// say "queen". Leaves the Board in the initial position.
void addGameToBook(BookCollection& book, const Move* moves, int count, int plies);

struct BookWriteResult {
    bool        ok = false;
    std::size_t positions = 0;  // records written
    std::size_t skipped   = 0;  // positions that found no free slot in their window
    std::string error;          // why writing failed
};

// Writes the book file: one 16-byte little-endian record per position (key low word, key
// high word, up to four moves, most played first, packed from slot 0) at its home slot
// (key & 0xFFFF) or the first free one of the 15 after it. Positions played most often are
// placed first. The file is written under a fresh name beside path, created exclusively,
// and renamed over path only when complete; on failure path is untouched.
BookWriteResult writeBook(const BookCollection& book, const char* path);

// Whether bytes, the whole of a file, are a book as writeBook lays one out, so that a build
// may replace the file without destroying anything else: whole 16-byte records, no more than
// a complete book, each record either all zeros or a position lying in its home slot or the
// 15 after it, with one to four moves that each join two different squares. No file (size
// 0) is a book with no position.
bool holdsBook(const unsigned char* bytes, std::size_t size);
