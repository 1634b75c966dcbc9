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

// What a search asks for. Every criterion given must hold.
struct SearchCriteria {
    std::string  name;                // text to find in White or Black; empty: any
    NameSide     side       = EitherSide; // the side the name must be found on
    std::int32_t resultMask = 0;      // WhiteWon | BlackWon | Drawn; 0: any
    std::int32_t eco        = NoEco;  // ECO index, NoEco: any
    std::int32_t ecoFrom = NoEco, ecoTo = NoEco; // an ECO index range, inclusive; NoEco: any
    std::int32_t yearFrom = 0, yearTo = 0; // 0: not set
    std::int32_t dateFrom = 0, dateTo = 0; // YYYYMMDD (readDateBound), 0: not set
    std::int32_t eloMin = 0, eloMax = 0;   // rating bounds, 0: not set
    RatingOf     eloOf  = EitherRating;    // whose rating the bounds hold for
    std::string  event, site;         // text to find in the Event or Site value; empty: any
    std::int32_t movesMin = 0, movesMax = 0; // full-move bounds, 0: not set
    bool         position   = false;  // the games must pass through the Board's position
};

// The filter of the criteria: the name cut to its first 31 bytes and the event and site to
// their first 63 (never inside a UTF-8 character), the position taken from the Board when
// asked for. An ECO range whose ends are not both codes, first before last, is no criterion.
SearchFilter searchFilterOf(const SearchCriteria& criteria);

// A date bound as YYYYMMDD from "YYYY", "YYYY.MM" or "YYYY.MM.DD" (year 1000-2999, month
// 1-12, day 1-31): the parts left out are the first day they may be for a lower bound and the
// last for an upper one ("2012" is 20120101 from, 20121231 to). False for anything else.
bool readDateBound(const std::string& text, bool upper, std::int32_t& bound);

// An ECO range "B90-B99" (or one code, "B90"), first not after last: their ECO indexes.
bool readEcoRange(const std::string& text, std::int32_t& first, std::int32_t& last);

// Marks Matched exactly the games of the index (games and names, of file) that meet filter and
// sets firstMatch to the number of the first, or -1. With a position the file is read again
// (findPosition, which also marks the games whose moves do not replay); without one only the
// index is tested. False when the file no longer fits the index (failure says so) or control
// stopped the pass; the marks are then incomplete.
bool collectMatches(BufferedFile& file, std::vector<GameEntry>& games, const PlayerNames& names,
                    const SearchFilter& filter, std::int64_t& firstMatch,
                    ScanFailure* failure = nullptr, PassControl* control = nullptr);
