// The tag reader every reader of games shares (the game parser, the index and search passes,
// the opening explorer): which tag a name is, the first tag of each name in a game, the year
// and the whole of a Date value, and a rating.
#pragma once

#include <cstdint>

#include "records/pgngrammar.h"

// The tags whose values a reader uses; every other name is Other.
enum class PgnTag : std::uint8_t {
    Other,
    Event,
    Site,
    Date,
    Round,
    WhiteName,
    BlackName,
    Result,
    Eco,
    Fen,
    SetUp,
    Variant,
    WhiteElo,
    BlackElo,
    Repeated, // a name the game has already had: it counts for nothing
};

// The tag a name of length bytes is.
PgnTag tagNameOf(const char* name, int length);

// The year a Date value starts with ("1997.05.11", "1997.??.??"), or 0 when it does not start
// with four digits, the first 1 or 2.
int yearOfDate(const char* value, int length);

// A Date value read whole: "2012.03.07", with unknown parts ("2012.??.??", "2012.03.??") zero.
// The month is read only after a known year and the day only after a known month: "1-12" and
// "1-31" as two digits, each after a ".".
struct PgnDate {
    int year, month, day;
};
PgnDate dateOf(const char* value, int length);

// The rating a WhiteElo or BlackElo value holds: one to four digits, with spaces around them
// allowed; 0 for anything else ("", "-", "?", "2700+").
int ratingOf(const char* value, int length);

// The tags of one game as the readers take them. When a game holds two tags of one name, the
// first counts and the later one is Repeated: every reader and the writer take the same one.
class GameTags {
    static_assert(static_cast<int>(PgnTag::Repeated) < 16, "a name's bit must fit m_seen");

public:
    void clear() { m_seen = 0; }
    // The tag the machine has just read (name and value filled).
    PgnTag take(const PgnMachine& m) { return take(m.name, m.nameLength); }
    // The same for a tag of that name, read before.
    PgnTag take(const char* tagName, int length) {
        const PgnTag name = tagNameOf(tagName, length);
        if (name == PgnTag::Other) return name;
        const std::uint16_t bit = static_cast<std::uint16_t>(1u << static_cast<int>(name));
        if (m_seen & bit) return PgnTag::Repeated;
        m_seen |= bit;
        return name;
    }

private:
    std::uint16_t m_seen = 0;
};
