// The game index of a PGN file: one entry per game with its byte range, the file's counts and
// the search criteria. The passes that fill it: records/indexpass.h, records/positionsearch.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "records/game.h"
#include "records/playernames.h"

// One game of the index, in 48 bytes: a file of millions of games keeps its index in memory.
// The players, the event, the site and the round are ids into the index's PlayerNames (one
// table of every distinct text the entries name); the byte range is packed, 48 bits an offset:
// exact for files up to 256 TiB.
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
    std::uint8_t  month;     // 1-12 from the Date tag, 0 when unknown (always when the year is)
    std::uint8_t  day;       // 1-31, 0 when unknown (always when the month is)
    std::uint32_t event;     // id of the Event tag's value in the names, 0 (empty) if none
    std::uint32_t site;      // likewise Site
    std::uint32_t round;     // likewise Round
    std::uint16_t whiteElo;  // the WhiteElo tag's rating, 0 when missing or unreadable
    std::uint16_t blackElo;  // likewise BlackElo

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
static_assert(sizeof(GameEntry) == 48);

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
inline constexpr int FilterTextSize = 64; // 63 bytes of an event or site to look for and the zero

// Which side the named player had.
enum NameSide : std::int32_t { EitherSide = 0, WhiteSide = 1, BlackSide = 2 };
// Whose rating the rating bounds hold for: either player's, both players', or the named
// player's (on the side the name was found; either player's when no name is asked for).
enum RatingOf : std::int32_t { EitherRating = 0, BothRatings = 1, PlayerRating = 2 };

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
    std::int32_t side;                 // NameSide of the name; ignored without a name
    // Rating bounds, inclusive, 0: not set. A bound holds only for a known rating.
    std::int32_t eloMin, eloMax;
    std::int32_t eloOf;                // RatingOf
    char         event[FilterTextSize]; // text to find in the Event value; empty: any
    char         site[FilterTextSize];  // likewise Site
    // Date bounds as YYYYMMDD, inclusive, 0: not set. A date with unknown parts spans every
    // day they may be and meets a bound only when the whole span does; one without a year
    // meets none.
    std::int32_t dateFrom, dateTo;
    std::int32_t ecoFrom, ecoTo;       // an ECO index range, inclusive; NoEco: not set
    std::int32_t movesMin, movesMax;   // full-move bounds, inclusive; 0: not set
};

// Makes the Board's position the filter's position criterion.
void setPositionCriterion(SearchFilter& filter);

// A filter with no criteria at all.
SearchFilter emptyFilter();
bool         filterIsEmpty(const SearchFilter& filter);

// What kept a pass from reading a file as the caller asked.
enum class FileProblem : std::uint8_t {
    NoGameRead,  // games were found but none could be read: the place where the first broke
    GameSkipped, // a damaged game was left out: the place where it broke
    FileChanged, // the file no longer fits its index: the file's end
};

// A problem at a place in a file: its offset, the 1-based line (CR, LF and CR LF each end
// one) and the line's first bytes, control bytes and bytes that are not UTF-8 written as
// \xNN. The readers report it as data; the programs word it.
struct ScanFailure {
    FileProblem  kind;
    std::int64_t offset;
    std::int64_t line;
    char         text[256];
};
