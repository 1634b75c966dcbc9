// Searching and showing the game index: name matching, the in-memory filter, the list's
// column texts and sort keys, and the file-information summary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "book/openings.h"
#include "records/gameindex.h"
#include "records/playernames.h"

// True when name occurs in text, comparing bytes with case folded for the ASCII letters only
// (bytes of UTF-8 or Shift_JIS characters match only themselves). False when text is empty or
// shorter than name; an empty name occurs in any non-empty text.
bool matchName(std::string_view text, std::string_view name);

// Copies the first bytes of a name to look for into a filter's field (31 bytes and the zero),
// never cutting a UTF-8 character in half.
void copyFilterName(char* field, const char* name, std::size_t length);
// Likewise into a field of fieldSize bytes (its last for the zero).
void copyFilterText(char* field, std::size_t fieldSize, const char* text, std::size_t length);

// By text id, which of the filter's texts the text of the names holds (matchName): NameMatch
// for the name (within the text's first 31 bytes, as names are searched), EventMatch and
// SiteMatch for the event's and the site's texts (within the whole text). Each text is tested
// once per distinct text, not once per game, on every processor. Empty when the filter asks
// for none of them.
inline constexpr std::uint8_t NameMatch = 1, EventMatch = 2, SiteMatch = 4;
using NameMatches = std::vector<std::uint8_t>;
NameMatches namesMatching(const PlayerNames& names, const SearchFilter& filter);

// Does entry meet the criteria of filter other than the position (the search pass's
// business)? nameMatches is namesMatching (the entries' names, filter). A year range may be
// open at either end; the other bounds likewise.
bool entryMatches(const GameEntry& entry, const SearchFilter& filter,
                  const NameMatches& nameMatches);

// The filter without a position: sets Matched on exactly the entries that meet it and
// answers the number of the first match, or -1. Slices of the entries are tested on
// passThreads() threads.
std::int64_t filterGames(std::vector<GameEntry>& games, const PlayerNames& names,
                         const SearchFilter& filter);

// The game list's columns: white, black, result, full moves, year, ECO code.
inline constexpr int ColumnWhite = 0, ColumnBlack = 1, ColumnResult = 2, ColumnMoves = 3,
                     ColumnYear = 4, ColumnEco = 5, ColumnCount = 6;
extern const char* const columnHeaders[ColumnCount];
// What else the index answers for, past the list's columns: White's and Black's ratings (empty
// when none), the date ("2012.03.07", unknown parts as "??", "????.??.??" when none), the
// event, the site and the round.
inline constexpr int ColumnWhiteElo = 6, ColumnBlackElo = 7, ColumnDate = 8, ColumnEvent = 9,
                     ColumnSite = 10, ColumnRound = 11, IndexColumnCount = 12;

// The text of one cell of entry's row (bounded, zero-terminated); names: the entry's names.
// A name is shown whole (up to 255 bytes): a buffer of NameCellSize holds any cell.
inline constexpr std::size_t NameCellSize = 256;
void columnText(const GameEntry& entry, const PlayerNames& names, int column, char* buffer,
                std::size_t size);
// Orders two entries by a column's sort key: negative, zero or positive. Names (and events,
// sites, rounds) compare with ASCII case folded; results as "*" < 1-0 < 0-1 < 1/2-1/2; games
// without an ECO code last; ratings and dates as numbers, unknown ones (and unknown parts of a
// date) first.
int compareByColumn(const GameEntry& a, const GameEntry& b, const PlayerNames& names, int column);
// Sorts rows ascending by a column, keeping file order among equal keys.
void sortRows(std::vector<const GameEntry*>& rows, const PlayerNames& names, int column);

// The file-information summary: game count, results with percentages and the eight most
// frequent ECO codes with their opening names as names says. Empty when the file holds no
// games.
std::string fileInfoText(const FileInfo& info, const char* pathName,
                         const OpeningNameSettings& names = {});
