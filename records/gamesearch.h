// A search of an indexed file, as every program runs it: the filter built from the criteria
// asked for, then the name, ECO, year and result tests on the index and, when a position is
// asked for, the position pass over the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "records/bufferedfile.h"
#include "records/gameindex.h"
#include "records/passcontrol.h"
#include "records/playernames.h"

// What a search asks for.
struct SearchCriteria {
    std::string  name;                // text to find in White or Black; empty: any
    std::int32_t resultMask = 0;      // WhiteWon | BlackWon | Drawn; 0: any
    std::int32_t eco        = NoEco;  // ECO index, NoEco: any
    std::int32_t yearFrom = 0, yearTo = 0; // 0: not set
    bool         position   = false;  // the games must pass through the Board's position
};

// The filter of the criteria: the name cut to its first 31 bytes (never inside a UTF-8
// character), the position taken from the Board when asked for.
SearchFilter searchFilterOf(const SearchCriteria& criteria);

// Marks Matched exactly the games of the index (games and names, of file) that meet filter and
// sets firstMatch to the number of the first, or -1. With a position the file is read again
// (findPosition, which also marks the games whose moves do not replay); without one only the
// index is tested. False when the file no longer fits the index (failure says so) or control
// stopped the pass; the marks are then incomplete.
bool collectMatches(BufferedFile& file, std::vector<GameEntry>& games, const PlayerNames& names,
                    const SearchFilter& filter, std::int64_t& firstMatch,
                    ScanFailure* failure = nullptr, PassControl* control = nullptr);
