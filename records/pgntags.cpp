#include "records/pgntags.h"

#include <cstring>

PgnTag tagNameOf(const char* name, int length) {
    const auto is = [&](const char* known, int n) {
        return length == n && std::memcmp(name, known, static_cast<std::size_t>(n)) == 0;
    };
    switch (name[0]) {
    case 'B':
        return is("Black", 5)      ? PgnTag::BlackName
               : is("BlackElo", 8) ? PgnTag::BlackElo
                                   : PgnTag::Other;
    case 'D':
        return is("Date", 4) ? PgnTag::Date : PgnTag::Other;
    case 'E':
        return is("ECO", 3) ? PgnTag::Eco : is("Event", 5) ? PgnTag::Event : PgnTag::Other;
    case 'F':
        return is("FEN", 3) ? PgnTag::Fen : PgnTag::Other;
    case 'R':
        return is("Round", 5) ? PgnTag::Round : is("Result", 6) ? PgnTag::Result : PgnTag::Other;
    case 'S':
        return is("Site", 4) ? PgnTag::Site : is("SetUp", 5) ? PgnTag::SetUp : PgnTag::Other;
    case 'V':
        return is("Variant", 7) ? PgnTag::Variant : PgnTag::Other;
    case 'W':
        return is("White", 5)      ? PgnTag::WhiteName
               : is("WhiteElo", 8) ? PgnTag::WhiteElo
                                   : PgnTag::Other;
    default:
        return PgnTag::Other;
    }
}

int yearOfDate(const char* v, int length) {
    if (length < 4 || (v[0] != '1' && v[0] != '2')) return 0;
    for (int k = 1; k < 4; ++k)
        if (v[k] < '0' || v[k] > '9') return 0;
    return (v[0] - '0') * 1000 + (v[1] - '0') * 100 + (v[2] - '0') * 10 + (v[3] - '0');
}

namespace {

// The number of the two digits at v, or -1 when they are not both digits.
int twoDigits(const char* v) {
    if (v[0] < '0' || v[0] > '9' || v[1] < '0' || v[1] > '9') return -1;
    return (v[0] - '0') * 10 + (v[1] - '0');
}

} // namespace

PgnDate dateOf(const char* v, int length) {
    PgnDate date{yearOfDate(v, length), 0, 0};
    if (date.year == 0 || length < 7 || v[4] != '.') return date;
    const int month = twoDigits(v + 5);
    if (month < 1 || month > 12) return date;
    date.month = month;
    if (length < 10 || v[7] != '.') return date;
    const int day = twoDigits(v + 8);
    if (day >= 1 && day <= 31) date.day = day;
    return date;
}

int ratingOf(const char* v, int length) {
    int from = 0, to = length;
    while (from < to && v[from] == ' ')
        ++from;
    while (to > from && v[to - 1] == ' ')
        --to;
    if (to == from || to - from > 4) return 0;
    int rating = 0;
    for (int k = from; k < to; ++k) {
        if (v[k] < '0' || v[k] > '9') return 0;
        rating = rating * 10 + (v[k] - '0');
    }
    return rating;
}
