// What the search dialog hands back, and the search criteria it asks for.
#pragma once

#include <QString>

#include "records/gameindex.h"
#include "records/gamesearch.h"

// What the user chose to do with the dialog's values.
enum class SearchAction { Search, ShowAll, PlayerRecord };

struct SearchDialogValues {
    QString name;                 // text to find in either player's name; at most 31 bytes are used
    int     side    = EitherSide; // NameSide: the side the name must be found on
    int     ecoItem = 0;          // 0: any, k: ECO index k - 1
    QString ecoRange;             // "B90-B99" or one code; empty: any
    int     yearFrom = 0;         // a year alone typed as a date bound; 0: not set
    int     yearTo   = 0;
    QString dateFrom, dateTo; // "2012", "2012.03" or "2012.03.01" (a year alone goes to the year
                              // fields); empty: not set
    int          eloMin = 0, eloMax = 0;     // 0: not set
    int          eloOf = EitherRating;       // RatingOf: whose rating the bounds hold for
    QString      event, site;                // text within the value; empty: any
    int          movesMin = 0, movesMax = 0; // full moves; 0: not set
    bool         whiteWon = false, blackWon = false, drawn = false;
    bool         samePosition = false; // the game passes through the position on the board
    SearchAction action       = SearchAction::Search;
};

// The criteria of the values (the text fields as the dialog checked them: a date bound or an
// ECO range that does not read is no criterion).
SearchCriteria searchCriteriaOf(const SearchDialogValues& values);
