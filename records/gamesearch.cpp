#include "records/gamesearch.h"

#include "records/gamefilter.h"
#include "records/positionsearch.h"

SearchFilter searchFilterOf(const SearchCriteria& criteria) {
    SearchFilter filter = emptyFilter();
    copyFilterName(filter.name, criteria.name.data(), criteria.name.size());
    filter.resultMask = criteria.resultMask;
    filter.eco        = criteria.eco;
    filter.yearFrom   = criteria.yearFrom;
    filter.yearTo     = criteria.yearTo;
    if (criteria.position) setPositionCriterion(filter);
    return filter;
}

bool collectMatches(BufferedFile& file, std::vector<GameEntry>& games, const PlayerNames& names,
                    const SearchFilter& filter, std::int64_t& firstMatch, ScanFailure* failure,
                    PassControl* control) {
    if (filter.positionKey) return findPosition(file, games, names, filter, firstMatch, failure, control);
    firstMatch = filterGames(games, names, filter);
    return true;
}
