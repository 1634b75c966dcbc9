#include "records/gamesearch.h"

#include "records/gamefilter.h"
#include "records/positionsearch.h"

SearchFilter searchFilterOf(const SearchCriteria& criteria) {
    SearchFilter filter = emptyFilter();
    copyFilterName(filter.name, criteria.name.data(), criteria.name.size());
    filter.side       = criteria.side;
    filter.resultMask = criteria.resultMask;
    filter.eco        = criteria.eco;
    filter.yearFrom   = criteria.yearFrom;
    filter.yearTo     = criteria.yearTo;
    if (criteria.ecoFrom >= 0 && criteria.ecoFrom <= criteria.ecoTo && criteria.ecoTo < NoEco) {
        filter.ecoFrom = criteria.ecoFrom;
        filter.ecoTo   = criteria.ecoTo;
    }
    filter.dateFrom = criteria.dateFrom;
    filter.dateTo   = criteria.dateTo;
    filter.eloMin   = criteria.eloMin;
    filter.eloMax   = criteria.eloMax;
    filter.eloOf    = criteria.eloOf;
    copyFilterText(filter.event, FilterTextSize, criteria.event.data(), criteria.event.size());
    copyFilterText(filter.site, FilterTextSize, criteria.site.data(), criteria.site.size());
    filter.movesMin = criteria.movesMin;
    filter.movesMax = criteria.movesMax;
    if (criteria.position) setPositionCriterion(filter);
    return filter;
}

namespace {

// The number of the count digits at text, or -1 when they are not all digits.
int digitsAt(const std::string& text, std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t k = at; k < at + count; ++k) {
        if (text[k] < '0' || text[k] > '9') return -1;
        value = value * 10 + (text[k] - '0');
    }
    return value;
}

} // namespace

bool readDateBound(const std::string& text, bool upper, std::int32_t& bound) {
    const std::size_t n = text.size();
    if (n != 4 && n != 7 && n != 10) return false;
    const int year = digitsAt(text, 0, 4);
    if (year < 1000 || year > 2999) return false;
    int month = upper ? 12 : 1, day = upper ? 31 : 1;
    if (n >= 7) {
        month = text[4] == '.' ? digitsAt(text, 5, 2) : -1;
        if (month < 1 || month > 12) return false;
    }
    if (n == 10) {
        day = text[7] == '.' ? digitsAt(text, 8, 2) : -1;
        if (day < 1 || day > 31) return false;
    }
    bound = year * 10000 + month * 100 + day;
    return true;
}

bool readEcoRange(const std::string& text, std::int32_t& first, std::int32_t& last) {
    const auto code = [](const std::string& part) {
        return part.size() == 3 ? ecoIndexOf(part.c_str(), 3) : NoEco;
    };
    const std::size_t dash = text.find('-');
    first = code(text.substr(0, dash));
    last  = dash == std::string::npos ? first : code(text.substr(dash + 1));
    return first != NoEco && last != NoEco && first <= last;
}

bool collectMatches(BufferedFile& file, std::vector<GameEntry>& games, const PlayerNames& names,
                    const SearchFilter& filter, std::int64_t& firstMatch, ScanFailure* failure,
                    PassControl* control) {
    if (filter.positionKey) return findPosition(file, games, names, filter, firstMatch, failure, control);
    firstMatch = filterGames(games, names, filter);
    return true;
}
