#include "records/gamefilter.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "book/openings.h"
#include "records/parallelslices.h"
#include "records/passthreads.h"
#include "records/textout.h"

namespace {

inline unsigned char foldAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

// Names compare with ASCII letters folded, then by their bytes; a name before its longer
// continuations.
int compareNames(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char x = foldAscii(static_cast<unsigned char>(a[i]));
        const unsigned char y = foldAscii(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// value right-aligned in width characters, as "%6d" writes it.
void putPadded(TextOut& out, long long value, int width) {
    int digits = value < 0 ? 2 : 1;
    for (long long v = value < 0 ? -value : value; v >= 10; v /= 10)
        ++digits;
    for (; digits < width; ++digits)
        out.put(' ');
    out.putInt(value);
}

void putEco(TextOut& out, int eco) {
    out.put(static_cast<char>('A' + eco / 100))
        .put(static_cast<char>('0' + eco % 100 / 10))
        .put(static_cast<char>('0' + eco % 10));
}

int resultKey(const GameEntry& e) { return e.info & ResultMask; }

// The date as one number that orders dates: YYYYMMDD, unknown parts 0.
std::uint32_t dateKey(const GameEntry& e) {
    return static_cast<std::uint32_t>(e.year & 0xFFF) * 10000 + e.month * 100u + e.day;
}

// Two digits of a date, or "??" when unknown (0).
void putDatePart(TextOut& out, int value) {
    if (value == 0) {
        out.put("??");
        return;
    }
    out.put(static_cast<char>('0' + value / 10)).put(static_cast<char>('0' + value % 10));
}

// Whether a column shows a text of the names: a player, the event, the site, the round.
bool textColumn(int column) {
    return column == ColumnWhite || column == ColumnBlack || column == ColumnEvent ||
           column == ColumnSite || column == ColumnRound;
}

// The id of the text such a column shows.
std::uint32_t textOf(const GameEntry& entry, int column) {
    switch (column) {
    case ColumnWhite: return entry.white;
    case ColumnBlack: return entry.black;
    case ColumnEvent: return entry.event;
    case ColumnSite: return entry.site;
    default: return entry.round;
    }
}

} // namespace

bool matchName(std::string_view text, std::string_view name) {
    const std::size_t textLength = text.size(), nameLength = name.size();
    if (textLength == 0 || textLength < nameLength) return false;
    for (std::size_t start = 0; start + nameLength <= textLength; ++start) {
        std::size_t k = 0;
        while (k < nameLength && foldAscii(static_cast<unsigned char>(text[start + k])) ==
                                     foldAscii(static_cast<unsigned char>(name[k])))
            ++k;
        if (k == nameLength) return true;
    }
    return false;
}

void copyFilterText(char* field, std::size_t fieldSize, const char* text, std::size_t length) {
    std::size_t n = length < fieldSize - 1 ? length : fieldSize - 1;
    // When the cut falls inside a UTF-8 character, cut before its first byte.
    if (n < length) {
        std::size_t lead = n;
        while (lead > 0 && n - lead < 3 && (static_cast<unsigned char>(text[lead]) & 0xC0) == 0x80)
            --lead;
        if (lead < n && (static_cast<unsigned char>(text[lead]) & 0xC0) == 0xC0) n = lead;
    }
    std::memcpy(field, text, n);
    field[n] = '\0';
}

void copyFilterName(char* field, const char* name, std::size_t length) {
    copyFilterText(field, FilterNameSize, name, length);
}

NameMatches namesMatching(const PlayerNames& names, const SearchFilter& filter) {
    NameMatches matches;
    if (!filter.name[0] && !filter.event[0] && !filter.site[0]) return matches;
    matches.resize(names.size());
    forEachSlice(names.size(), sliceCount(names.size(), passThreads(), 16384),
                 [&](std::size_t, std::size_t begin, std::size_t end) {
                     // A name is searched within its first 31 bytes (never half a
                     // character), as the index kept names before they were stored whole.
                     char searched[FilterNameSize];
                     for (std::size_t id = begin; id < end; ++id) {
                         const std::string_view text = names.name(static_cast<std::uint32_t>(id));
                         std::uint8_t           found = 0;
                         if (filter.name[0]) {
                             copyFilterName(searched, text.data(), text.size());
                             if (matchName(searched, filter.name)) found |= NameMatch;
                         }
                         if (filter.event[0] && matchName(text, filter.event)) found |= EventMatch;
                         if (filter.site[0] && matchName(text, filter.site)) found |= SiteMatch;
                         matches[id] = found;
                     }
                 });
    return matches;
}

namespace {

bool ratingFits(int rating, const SearchFilter& filter) {
    return rating != 0 && (!filter.eloMin || rating >= filter.eloMin) &&
           (!filter.eloMax || rating <= filter.eloMax);
}

// The first and the last day a date with unknown parts may be, as YYYYMMDD.
std::int32_t firstDay(const GameEntry& e) {
    return e.year * 10000 + (e.month ? e.month * 100 + (e.day ? e.day : 1) : 101);
}
std::int32_t lastDay(const GameEntry& e) {
    return e.year * 10000 + (e.month ? e.month * 100 + (e.day ? e.day : 31) : 1231);
}

} // namespace

bool entryMatches(const GameEntry& entry, const SearchFilter& filter,
                  const NameMatches& nameMatches) {
    // The sides the name was found on (both when no name is asked for).
    bool whiteNamed = true, blackNamed = true;
    if (filter.name[0]) {
        whiteNamed = filter.side != BlackSide && (nameMatches[entry.white] & NameMatch);
        blackNamed = filter.side != WhiteSide && (nameMatches[entry.black] & NameMatch);
        if (!whiteNamed && !blackNamed) return false;
    }
    if (filter.eco != NoEco && (entry.info & EcoMask) != filter.eco) return false;
    if (filter.resultMask && !(filter.resultMask & entry.info)) return false;
    if (filter.yearFrom && entry.year < filter.yearFrom) return false;
    if (filter.yearTo && entry.year > filter.yearTo) return false;
    if (filter.eloMin || filter.eloMax) {
        const bool white = ratingFits(entry.whiteElo, filter), black = ratingFits(entry.blackElo, filter);
        const bool fits  = filter.eloOf == BothRatings    ? white && black
                           : filter.eloOf == PlayerRating ? (whiteNamed && white) || (blackNamed && black)
                                                          : white || black;
        if (!fits) return false;
    }
    if (filter.event[0] && !(nameMatches[entry.event] & EventMatch)) return false;
    if (filter.site[0] && !(nameMatches[entry.site] & SiteMatch)) return false;
    if (filter.dateFrom || filter.dateTo) {
        if (entry.year <= 0) return false;
        if (filter.dateFrom && firstDay(entry) < filter.dateFrom) return false;
        if (filter.dateTo && lastDay(entry) > filter.dateTo) return false;
    }
    if (filter.ecoFrom != NoEco) {
        const int eco = entry.info & EcoMask; // NoEco, past every code, for none
        if (eco < filter.ecoFrom || eco > filter.ecoTo) return false;
    }
    if (filter.movesMin && entry.moves < filter.movesMin) return false;
    if (filter.movesMax && entry.moves > filter.movesMax) return false;
    return true;
}

std::int64_t filterGames(std::vector<GameEntry>& games, const PlayerNames& names,
                         const SearchFilter& filter) {
    const NameMatches         nameMatches = namesMatching(names, filter);
    const std::size_t         slices      = sliceCount(games.size(), passThreads(), 65536);
    std::vector<std::int64_t> firsts(slices, -1);
    forEachSlice(games.size(), slices, [&](std::size_t slice, std::size_t begin, std::size_t end) {
        std::int64_t first = -1;
        for (std::size_t k = begin; k < end; ++k) {
            GameEntry& entry = games[k];
            entry.info &= ~Matched;
            if (entryMatches(entry, filter, nameMatches)) {
                entry.info |= Matched;
                if (first < 0) first = entry.number;
            }
        }
        firsts[slice] = first;
    });
    for (const std::int64_t first : firsts)
        if (first >= 0) return first;
    return -1;
}

const char* const columnHeaders[ColumnCount] = {"white", "black", "result", "fm", "year", "eco"};

void columnText(const GameEntry& entry, const PlayerNames& names, int column, char* buffer,
                std::size_t size) {
    if (!buffer || size == 0) return;
    TextOut out(buffer, size);
    switch (column) {
    case ColumnWhite:
        out.put(names.name(entry.white).data());
        break;
    case ColumnBlack:
        out.put(names.name(entry.black).data());
        break;
    case ColumnResult:
        out.put(entry.info & WhiteWon   ? "1-0"
                : entry.info & BlackWon ? "0-1"
                : entry.info & Drawn    ? "1/2-1/2"
                                        : "*");
        break;
    case ColumnMoves:
        out.putInt(entry.moves);
        if (entry.info & Unreadable) out.put('?');
        break;
    case ColumnYear:
        out.putInt(entry.year & 0xFFF);
        break;
    case ColumnEco:
        if ((entry.info & EcoMask) < NoEco) putEco(out, entry.info & EcoMask);
        break;
    case ColumnWhiteElo:
    case ColumnBlackElo: {
        const int rating = column == ColumnWhiteElo ? entry.whiteElo : entry.blackElo;
        if (rating) out.putInt(rating);
        break;
    }
    case ColumnDate: {
        const int year = entry.year & 0xFFF;
        if (year)
            out.putInt(year);
        else
            out.put("????");
        out.put('.');
        putDatePart(out, entry.month);
        out.put('.');
        putDatePart(out, entry.day);
        break;
    }
    case ColumnEvent:
    case ColumnSite:
    case ColumnRound:
        out.put(names.name(textOf(entry, column)).data());
        break;
    default:
        break;
    }
}

int compareByColumn(const GameEntry& a, const GameEntry& b, const PlayerNames& names, int column) {
    const auto order = [](int x, int y) { return x < y ? -1 : x > y ? 1 : 0; };
    switch (column) {
    case ColumnWhite:
        return compareNames(names.name(a.white), names.name(b.white));
    case ColumnBlack:
        return compareNames(names.name(a.black), names.name(b.black));
    case ColumnResult:
        return order(resultKey(a), resultKey(b));
    case ColumnMoves:
        return order(a.moves, b.moves);
    case ColumnYear:
        return order(a.year & 0xFFF, b.year & 0xFFF);
    case ColumnEco:
        return order(a.info & EcoMask, b.info & EcoMask);
    case ColumnWhiteElo:
        return order(a.whiteElo, b.whiteElo);
    case ColumnBlackElo:
        return order(a.blackElo, b.blackElo);
    case ColumnDate:
        return order(static_cast<int>(dateKey(a)), static_cast<int>(dateKey(b)));
    case ColumnEvent:
    case ColumnSite:
    case ColumnRound:
        return compareNames(names.name(textOf(a, column)), names.name(textOf(b, column)));
    default:
        return 0;
    }
}

namespace {

// A row's sort key, made once per row so that the sort compares contiguous words instead of
// following every row's pointer: the column's number, or for a name its rank among the names,
// and the row's place before the sort.
struct SortKey {
    std::uint32_t key;
    std::uint32_t position;
};

// By name id, the rank of each name the rows show in the column, in compareNames order
// (names that compare equal share a rank): the names are ordered once, not once per game.
std::vector<std::uint32_t> nameRanks(const std::vector<const GameEntry*>& rows,
                                     const PlayerNames& names, int column) {
    constexpr std::uint32_t    NotShown = 0xFFFFFFFF;
    std::vector<std::uint32_t> rank(names.size(), NotShown);
    std::vector<std::uint32_t> shown; // the ids the rows show, each once
    for (const GameEntry* row : rows) {
        const std::uint32_t id = textOf(*row, column);
        if (rank[id] == NotShown) shown.push_back(id);
        rank[id] = 0;
    }
    std::sort(shown.begin(), shown.end(), [&names](std::uint32_t a, std::uint32_t b) {
        return compareNames(names.name(a), names.name(b)) < 0;
    });
    std::uint32_t next = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (i > 0 && compareNames(names.name(shown[i - 1]), names.name(shown[i])) != 0) ++next;
        rank[shown[i]] = next;
    }
    return rank;
}

}  // namespace

void sortRows(std::vector<const GameEntry*>& rows, const PlayerNames& names, int column) {
    const bool                       byName = textColumn(column);
    const std::vector<std::uint32_t> ranks  = byName ? nameRanks(rows, names, column)
                                                     : std::vector<std::uint32_t>{};
    std::vector<SortKey> keys(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const GameEntry& e = *rows[i];
        SortKey&         k = keys[i];
        k.position         = static_cast<std::uint32_t>(i);
        switch (column) {
        case ColumnWhite:
        case ColumnBlack:
        case ColumnEvent:
        case ColumnSite:
        case ColumnRound:
            k.key = ranks[textOf(e, column)];
            break;
        case ColumnWhiteElo:
            k.key = e.whiteElo;
            break;
        case ColumnBlackElo:
            k.key = e.blackElo;
            break;
        case ColumnDate:
            k.key = dateKey(e);
            break;
        case ColumnResult:
            k.key = static_cast<std::uint32_t>(resultKey(e));
            break;
        case ColumnMoves:
            k.key = e.moves;
            break;
        case ColumnYear:
            k.key = static_cast<std::uint32_t>(e.year & 0xFFF);
            break;
        case ColumnEco:
            k.key = static_cast<std::uint32_t>(e.info & EcoMask);
            break;
        default:
            k.key = 0;
            break;
        }
    }
    // Equal keys keep their order (the place before the sort decides), as a stable sort would.
    std::sort(keys.begin(), keys.end(), [](const SortKey& a, const SortKey& b) {
        return a.key != b.key ? a.key < b.key : a.position < b.position;
    });
    std::vector<const GameEntry*> sorted(rows.size());
    for (std::size_t i = 0; i < keys.size(); ++i) sorted[i] = rows[keys[i].position];
    rows.swap(sorted);
}

std::string fileInfoText(const FileInfo& info, const char* pathName, const OpeningNameSettings& names) {
    if (info.games <= 0) return {};
    if (!pathName) pathName = "";
    std::array<int, NoEco> order;
    for (int i = 0; i < NoEco; ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&info](int a, int b) { return info.ecoCounts[a] > info.ecoCounts[b]; });
    int shown = 0;
    while (shown < 8 && info.ecoCounts[order[shown]] > 0) ++shown;

    // Sized to the content: the path, four count lines and a line per opening shown.
    std::size_t size = std::strlen(pathName) + 256;
    for (int k = 0; k < shown; ++k) size += 32 + std::strlen(openingDisplayName(order[k], names));
    std::vector<char> buffer(size);
    TextOut    out(buffer.data(), buffer.size());
    const auto percent = [&info](long long count) { return count * 100 / info.games; };
    out.put(pathName).put("\ngame\t: ");
    putPadded(out, info.games, 6);
    const struct {
        const char* label;
        long long   count;
    } results[] = {{"\n1-0\t: ", info.whiteWins},
                   {"\n0-1\t: ", info.blackWins},
                   {"\n1/2-1/2\t: ", info.draws}};
    for (const auto& r : results) {
        out.put(r.label);
        putPadded(out, r.count, 6);
        out.put("  ");
        putPadded(out, percent(r.count), 3);
        out.put('%');
    }
    out.put("\n\n");
    for (int k = 0; k < shown; ++k) {
        const int eco = order[k];
        putEco(out, eco);
        out.put(' ');
        putPadded(out, info.ecoCounts[eco], 6);
        out.put(' ');
        putPadded(out, percent(info.ecoCounts[eco]), 3);
        out.put("% ").put(openingDisplayName(eco, names)).put('\n');
    }
    return std::string(buffer.data(), out.length());
}
