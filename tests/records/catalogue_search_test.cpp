// The search by the side of the named player, ratings, event, site, full date, ECO range and
// length, through the one search function every program shares, on a small file of its own
// (tests/data/catalogue-search.pgn): partial and missing dates, missing and unreadable
// ratings, names, events and sites that differ only in case.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/gamesearch.h"
#include "records/indexpass.h"

namespace {

std::vector<int> search(BufferedFile& file, std::vector<GameEntry>& games, const PlayerNames& names,
                        const SearchCriteria& criteria) {
    std::int64_t first = -2;
    EXPECT_TRUE(collectMatches(file, games, names, searchFilterOf(criteria), first));
    std::vector<int> numbers;
    for (const GameEntry& e : games)
        if (e.info & Matched) numbers.push_back(static_cast<int>(e.number));
    EXPECT_EQ(first, numbers.empty() ? -1 : numbers[0]);
    return numbers;
}

} // namespace

TEST(CatalogueSearch, EachNewCriterionAloneAndTogether) {
    BufferedFile           file;
    FileInfo               info{};
    std::vector<GameEntry> games;
    PlayerNames            names;
    ASSERT_TRUE(file.open((std::string(NORVANE_TEST_DATA) + "/catalogue-search.pgn").c_str()));
    ASSERT_TRUE(indexFile(file, info, games, names));
    ASSERT_EQ(games.size(), 11u);

    struct Case {
        const char*      what;
        SearchCriteria   criteria;
        std::vector<int> games;
    };
    const auto with = [](auto set) {
        SearchCriteria c;
        set(c);
        return c;
    };
    const Case cases[] = {
        {"a name in any case, either side", with([](auto& c) { c.name = "carlsen"; }), {0, 1, 2, 3, 4, 6, 7, 10}},
        {"the name with White", with([](auto& c) { c.name = "CARLSEN"; c.side = WhiteSide; }), {0, 3, 7}},
        {"the name with Black", with([](auto& c) { c.name = "Carlsen"; c.side = BlackSide; }), {1, 2, 4, 6, 10}},
        {"either player rated 2800 or more", with([](auto& c) { c.eloMin = 2800; }), {0, 1, 3, 6, 7}},
        {"both players rated 2800 or more", with([](auto& c) { c.eloMin = 2800; c.eloOf = BothRatings; }), {0, 1}},
        {"either player within 2700-2710",
         with([](auto& c) { c.eloMin = 2700; c.eloMax = 2710; }), {2, 6, 7}},
        {"an upper bound: games without ratings do not meet it", with([](auto& c) { c.eloMax = 1800; }), {8, 9}},
        {"both under a bound: a missing rating fails",
         with([](auto& c) { c.eloMax = 1800; c.eloOf = BothRatings; }), {}},
        {"the named player's rating, on whichever side",
         with([](auto& c) { c.name = "carlsen"; c.eloMin = 2830; c.eloOf = PlayerRating; }), {0, 1, 3, 7}},
        {"the named player's rating with Black",
         with([](auto& c) {
             c.name = "carlsen"; c.side = BlackSide; c.eloMin = 2830; c.eloOf = PlayerRating;
         }), {1}},
        {"an event in another case", with([](auto& c) { c.event = "LONDON"; }), {3, 4}},
        {"event and site", with([](auto& c) { c.event = "steel"; c.site = "ned"; }), {0, 1, 2}},
        {"a game without a site meets no site", with([](auto& c) { c.site = "e"; }), {0, 1, 2, 3, 4, 6, 7}},
        {"a whole year: partial dates within it too",
         with([](auto& c) { c.dateFrom = 20120101; c.dateTo = 20121231; }), {0, 1, 2, 3, 4, 7, 8, 9}},
        {"from a day on: the year alone does not fit, March does",
         with([](auto& c) { c.dateFrom = 20120301; }), {3, 4, 7, 8, 9, 10}},
        {"up to a day: a month that runs past it does not fit",
         with([](auto& c) { c.dateTo = 20120315; }), {0, 1, 6, 9}},
        {"one month", with([](auto& c) { c.dateFrom = 20120101; c.dateTo = 20120131; }), {0, 1}},
        {"up to a year, by year: a game without a date too", with([](auto& c) { c.yearTo = 2011; }), {5, 6}},
        {"up to a year, by date: not without a date", with([](auto& c) { c.dateTo = 20111231; }), {6}},
        {"an ECO range", with([](auto& c) { c.ecoFrom = 190; c.ecoTo = 199; }), {0, 1, 9, 10}},
        {"every code: not a game without one",
         with([](auto& c) { c.ecoFrom = 0; c.ecoTo = 499; }), {0, 1, 2, 3, 4, 6, 7, 8, 9, 10}},
        {"moves within bounds", with([](auto& c) { c.movesMin = 4; c.movesMax = 5; }), {0, 3, 6, 10}},
        {"moves up to one", with([](auto& c) { c.movesMax = 1; }), {4, 8}},
        {"every new criterion at once",
         with([](auto& c) {
             c.name = "carlsen"; c.side = WhiteSide; c.event = "steel"; c.site = "zee";
             c.dateFrom = 20120101; c.dateTo = 20120630; c.eloMin = 2800; c.eloMax = 2900;
             c.eloOf = PlayerRating; c.ecoFrom = 190; c.ecoTo = 199; c.movesMin = 3; c.movesMax = 6;
         }), {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(filterIsEmpty(searchFilterOf(c.criteria)));
        EXPECT_EQ(search(file, games, names, c.criteria), c.games);
    }
    // The side and whose rating alone ask for nothing.
    EXPECT_TRUE(filterIsEmpty(searchFilterOf(with([](auto& c) {
        c.side = BlackSide; c.eloOf = BothRatings;
    }))));
}

TEST(CatalogueSearch, DateBoundsAndEcoRangesAsTyped) {
    struct DateCase {
        const char*  text;
        std::int32_t from, to; // 0: refused
    };
    const DateCase dates[] = {
        {"2012.03.07", 20120307, 20120307}, {"2012.03", 20120301, 20120331}, {"2012", 20120101, 20121231},
        {"2012.3.7", 0, 0},  {"2012.13.01", 0, 0}, {"2012.00", 0, 0}, {"2012.03.32", 0, 0},
        {"2012-03-07", 0, 0}, {"0999", 0, 0},      {"3000", 0, 0},    {"", 0, 0}, {"2012.03.07x", 0, 0},
    };
    for (const DateCase& c : dates) {
        SCOPED_TRACE(c.text);
        std::int32_t from = 0, to = 0;
        EXPECT_EQ(readDateBound(c.text, false, from), c.from != 0);
        EXPECT_EQ(readDateBound(c.text, true, to), c.to != 0);
        if (c.from) {
            EXPECT_EQ(from, c.from);
            EXPECT_EQ(to, c.to);
        }
    }
    struct EcoCase {
        const char*  text;
        std::int32_t first, last; // -1: refused
    };
    const EcoCase ecos[] = {{"B90-B99", 190, 199}, {"A00-E99", 0, 499}, {"C20", 220, 220},
                            {"B99-B90", -1, -1},   {"B90-", -1, -1},    {"-B99", -1, -1},
                            {"B9-B99", -1, -1},    {"F00-F10", -1, -1}, {"B90-B99-C00", -1, -1}};
    for (const EcoCase& c : ecos) {
        SCOPED_TRACE(c.text);
        std::int32_t first = 0, last = 0;
        EXPECT_EQ(readEcoRange(c.text, first, last), c.first >= 0);
        if (c.first >= 0) {
            EXPECT_EQ(first, c.first);
            EXPECT_EQ(last, c.last);
        }
    }
}
