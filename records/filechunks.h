// Splitting a PGN file into byte ranges for the passes' worker threads. A range begins where a
// game most likely begins: a "[" and a letter at the start of a line after a blank line, or in
// a file that writes no blank lines, an "[Event" at the start of a line. Each range is read
// as if the file began there; whether the one before it really ended between games is checked
// when the results are joined (see atTagSectionStart).
#pragma once

#include <cstdint>
#include <vector>

#include "records/bufferedfile.h"
#include "records/pgngrammar.h"

// The passes' ranges: about chunkBytes each (the last one runs to the end of the file).
inline constexpr std::int64_t PassChunkBytes = std::int64_t{4} << 20;

// The starts of the ranges in ascending order, the first 0, then the file's size: range k is
// [starts[k], starts[k + 1]). A file with no likely game start near a cut stays in one piece
// there.
std::vector<std::int64_t> chunkStarts(const BufferedFile& file, std::int64_t chunkBytes = PassChunkBytes);

// Whether a machine that has read everything before a range's first byte (a "[" and a letter)
// would read the rest exactly as a fresh machine does: between games, or skipping a damaged
// game outside its tag lines (both start a game at that "[").
inline bool atTagSectionStart(const PgnMachine& m) {
    return m.state == BetweenGames || (m.state == ResyncLineStart && !m.resyncInTags);
}
