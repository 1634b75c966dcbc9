#include "records/gamefilter.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "book/openings.h"
#include "records/textout.h"

namespace {

inline unsigned char foldAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

// Names compare with ASCII letters folded, then by their bytes.
int compareNames(const char* a, const char* b) {
    for (;; ++a, ++b) {
        const unsigned char x = foldAscii(static_cast<unsigned char>(*a));
        const unsigned char y = foldAscii(static_cast<unsigned char>(*b));
        if (x != y) return x < y ? -1 : 1;
        if (!x) return 0;
    }
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

} // namespace

bool matchName(const char* text, const char* name) {
    const std::size_t textLength = std::strlen(text), nameLength = std::strlen(name);
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

void copyEntryName(char* field, const char* name, std::size_t length) {
    std::size_t n = length < EntryNameSize - 1 ? length : EntryNameSize - 1;
    // When the cut falls inside a UTF-8 character, cut before its first byte.
    if (n < length) {
        std::size_t lead = n;
        while (lead > 0 && n - lead < 3 && (static_cast<unsigned char>(name[lead]) & 0xC0) == 0x80)
            --lead;
        if (lead < n && (static_cast<unsigned char>(name[lead]) & 0xC0) == 0xC0) n = lead;
    }
    std::memcpy(field, name, n);
    field[n] = '\0';
}

bool entryMatches(const GameEntry& entry, const SearchFilter& filter) {
    if (filter.name[0] && !matchName(entry.white, filter.name) &&
        !matchName(entry.black, filter.name))
        return false;
    if (filter.eco != NoEco && (entry.info & EcoMask) != filter.eco) return false;
    if (filter.resultMask && !(filter.resultMask & entry.info)) return false;
    if (filter.yearFrom && entry.year < filter.yearFrom) return false;
    if (filter.yearTo && entry.year > filter.yearTo) return false;
    return true;
}

std::int64_t filterGames(std::vector<GameEntry>& games, const SearchFilter& filter) {
    std::int64_t first = -1;
    for (GameEntry& entry : games) {
        entry.info &= ~Matched;
        if (entryMatches(entry, filter)) {
            entry.info |= Matched;
            if (first < 0) first = entry.number;
        }
    }
    return first;
}

const char* const columnHeaders[ColumnCount] = {"white", "black", "result", "fm", "year", "eco"};
const int         columnWidths[ColumnCount]  = {80, 80, 60, 30, 40, 40};

void columnText(const GameEntry& entry, int column, char* buffer, std::size_t size) {
    if (!buffer || size == 0) return;
    TextOut out(buffer, size);
    switch (column) {
    case ColumnWhite:
        out.put(entry.white);
        break;
    case ColumnBlack:
        out.put(entry.black);
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
    default:
        break;
    }
}

int compareByColumn(const GameEntry& a, const GameEntry& b, int column) {
    const auto order = [](int x, int y) { return x < y ? -1 : x > y ? 1 : 0; };
    switch (column) {
    case ColumnWhite:
        return compareNames(a.white, b.white);
    case ColumnBlack:
        return compareNames(a.black, b.black);
    case ColumnResult:
        return order(resultKey(a), resultKey(b));
    case ColumnMoves:
        return order(a.moves, b.moves);
    case ColumnYear:
        return order(a.year & 0xFFF, b.year & 0xFFF);
    case ColumnEco:
        return order(a.info & EcoMask, b.info & EcoMask);
    default:
        return 0;
    }
}

namespace {

// A row's sort key, made once per row so that the sort compares contiguous words instead of
// following every row's pointer: the column's number, or the first 24 bytes of the name with
// ASCII folded, packed most significant first and padded with zeros (so that the words order
// as compareNames orders the names), and the row's place before the sort.
struct SortKey {
    std::uint64_t word[3];
    std::uint32_t position;
};

void packName(const char* name, std::uint64_t* words) {
    bool ended = false;
    for (int w = 0; w < 3; ++w) {
        std::uint64_t packed = 0;
        for (int k = 0; k < 8; ++k) {
            const unsigned char c = ended ? 0 : foldAscii(static_cast<unsigned char>(name[8 * w + k]));
            ended                 = ended || c == 0;
            packed                = packed << 8 | c;
        }
        words[w] = packed;
    }
}

}  // namespace

void sortRows(std::vector<const GameEntry*>& rows, int column) {
    const bool           names = column == ColumnWhite || column == ColumnBlack;
    std::vector<SortKey> keys(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const GameEntry& e = *rows[i];
        SortKey&         k = keys[i];
        k.position         = static_cast<std::uint32_t>(i);
        k.word[1] = k.word[2] = 0;
        switch (column) {
        case ColumnWhite:
            packName(e.white, k.word);
            break;
        case ColumnBlack:
            packName(e.black, k.word);
            break;
        case ColumnResult:
            k.word[0] = static_cast<std::uint64_t>(resultKey(e));
            break;
        case ColumnMoves:
            k.word[0] = e.moves;
            break;
        case ColumnYear:
            k.word[0] = static_cast<std::uint64_t>(e.year & 0xFFF);
            break;
        case ColumnEco:
            k.word[0] = static_cast<std::uint64_t>(e.info & EcoMask);
            break;
        default:
            k.word[0] = 0;
            break;
        }
    }
    // Equal keys keep their order (the place before the sort decides), as a stable sort would.
    std::sort(keys.begin(), keys.end(), [&rows, names, column](const SortKey& a, const SortKey& b) {
        for (int w = 0; w < 3; ++w)
            if (a.word[w] != b.word[w]) return a.word[w] < b.word[w];
        // Names of 24 bytes and more that agree so far: the rest decides.
        if (names && (a.word[2] & 0xFF) != 0) {
            const int order = compareByColumn(*rows[a.position], *rows[b.position], column);
            if (order != 0) return order < 0;
        }
        return a.position < b.position;
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
