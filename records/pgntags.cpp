#include "records/pgntags.h"

#include <cstring>

PgnTag tagNameOf(const char* name, int length) {
    const auto is = [&](const char* known, int n) {
        return length == n && std::memcmp(name, known, static_cast<std::size_t>(n)) == 0;
    };
    switch (name[0]) {
    case 'B':
        return is("Black", 5) ? PgnTag::BlackName : PgnTag::Other;
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
        return is("White", 5) ? PgnTag::WhiteName : PgnTag::Other;
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
