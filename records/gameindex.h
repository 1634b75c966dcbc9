// The game index of a PGN file: one entry per game with its byte range, the file's counts,
// the search criteria, and the two passes of the scanner over the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "records/bufferedfile.h"
#include "records/game.h"
#include "records/passcontrol.h"
#include "records/playernames.h"

// One game of the index, in 32 bytes: a file of millions of games keeps its index in memory.
// The players are ids into the index's PlayerNames; the byte range is packed, 48 bits an
// offset: exact for files up to 256 TiB.
struct GameEntry {
    std::uint32_t white;  // id of the White tag's value in the names, 0 (empty) if none
    std::uint32_t black;  // likewise Black
    std::uint32_t number; // 0-based position of the game in the file
    std::uint16_t info;   // ECO index, result bits from the termination token, Matched
    std::uint16_t moves;  // full moves, (half-move tokens + 1) / 2, at most 65535
    std::int16_t  year;   // from the Date tag, 0 if none
    std::uint16_t startHigh; // bits 32-47 of start()
    std::uint32_t startLow;  // bits 0-31 of start()
    std::uint32_t endLow;    // bits 0-31 of end()
    std::uint16_t endHigh;   // bits 32-47 of end()

    // The offset of the game's first "[".
    std::int64_t start() const { return static_cast<std::int64_t>(std::uint64_t{startHigh} << 32 | startLow); }
    // The offset of the last character of its termination token.
    std::int64_t end() const { return static_cast<std::int64_t>(std::uint64_t{endHigh} << 32 | endLow); }
    void setRange(std::int64_t first, std::int64_t last) {
        startLow  = static_cast<std::uint32_t>(first);
        startHigh = static_cast<std::uint16_t>(first >> 32);
        endLow    = static_cast<std::uint32_t>(last);
        endHigh   = static_cast<std::uint16_t>(last >> 32);
    }
};
static_assert(sizeof(GameEntry) == 32);

inline constexpr int FilePathSize = 256;
inline constexpr int NotedSkips   = 5; // damaged games whose places the index keeps

struct FileInfo {
    char         path[FilePathSize];
    std::int64_t fileSize;
    std::int32_t games;
    std::int32_t whiteWins, blackWins, draws; // by the termination tokens
    std::int32_t ecoCounts[NoEco];            // games by the ECO tag
    // Damaged games are counted apart: they have no entry (game numbers count the readable
    // games). skippedAt holds the offsets where the first of them broke.
    std::int32_t skippedGames;
    std::int64_t skippedAt[NotedSkips];
    // Bytes that belong to no game: zero bytes anywhere, and text between games other than
    // whitespace, "%" and ";" lines and a byte-order mark. Counts and the first offsets.
    std::int64_t zeroBytes, firstZero;
    std::int64_t strayBytes, firstStray;
};

inline constexpr int FilterNameSize = 32; // 31 bytes of a name to look for and the zero

struct SearchFilter {
    char          name[FilterNameSize]; // text to find in White or Black; empty: any
    std::int32_t  resultMask;          // WhiteWon | BlackWon | Drawn; 0: any
    std::int32_t  eco;                 // ECO index, NoEco: any
    std::int32_t  yearFrom, yearTo;    // 0: not set
    std::uint64_t positionKey;         // hashKey the game must pass through; 0: none
    // What the search pass knows of that position beyond its key, so that it stops replaying
    // a game once the position is out of reach: captures and pawn moves are never undone.
    // Zero when unknown (then every game is replayed to its end or the position).
    std::int32_t positionMen;          // pieces on the board, kings included
    Bitboard     positionHomePawns[2]; // pawns still on their start squares, by colour
};

// Makes the Board's position the filter's position criterion.
void setPositionCriterion(SearchFilter& filter);

// A filter with no criteria at all.
SearchFilter emptyFilter();
bool         filterIsEmpty(const SearchFilter& filter);

inline constexpr int IndexMode = 1, SearchMode = 2;

// A place in a file: the 1-based line (CR, LF and CR LF each end one) and the line's first
// bytes, control bytes and bytes that are not UTF-8 written as \xNN.
struct ScanFailure {
    std::int64_t line;
    char         text[256];
};

// Runs one pass of the scanner over the whole of file, which must be open, on passThreads()
// threads (each reads ranges of the file; the results are joined in file order and are
// those of one reading from the start). A damaged game is skipped and reading resumes at the
// next tag section; a zero byte damages the game it is in.
// IndexMode: appends one entry per readable game to games, its players interned in names, and
// fills info (counts, skipped games and stray bytes; path and size are the caller's).
// SearchMode: replays every game from its start (the initial position, or its FEN tag),
// looking for filter.positionKey before each move and after the last; sets Matched on the
// entries that pass through it and meet the other criteria (names: the entries' names),
// clears it on the others, and sets firstMatch to the number of the first match or -1. The
// games are replayed on the worker threads' own Boards: the calling thread's Board and the
// current game are left as they are.
// False when games were found but none could be read (then failure says where the first
// broke) or, in SearchMode, when the file no longer fits games; entries created or marked
// before that stay.
// control, when given, hears the bytes read; once its stop is set the pass ends early and
// answers false with failure untouched: the entries and marks are then incomplete.
bool scanPgnFile(BufferedFile& file, FileInfo& info, std::vector<GameEntry>& games,
                 PlayerNames& names, int mode, const SearchFilter* filter,
                 std::int64_t* firstMatch, ScanFailure* failure, PassControl* control = nullptr);

// Writes n bytes of a file into text (bounded, zero-terminated) for a message: UTF-8
// characters as they are, control bytes and bytes that are not UTF-8 as \xNN.
void quoteFileBytes(const char* bytes, std::size_t n, char* text, std::size_t size);

// The places of the offsets (ascending) in file, found in one read; false when the file
// cannot be read.
bool locateOffsets(BufferedFile& file, const std::int64_t* offsets, int count,
                   ScanFailure* places);

// The places where the first skipped games of info broke (at most NotedSkips).
std::vector<ScanFailure> skippedGamePlaces(BufferedFile& file, const FileInfo& info);

// The message shown for a file that does not open: the reason, the line number and its text.
std::string scanFailureMessage(const ScanFailure& failure);

// The message shown after an open that skipped games: how many, and the lines of the first.
std::string skippedGamesMessage(std::int64_t skipped, const std::vector<ScanFailure>& places);
