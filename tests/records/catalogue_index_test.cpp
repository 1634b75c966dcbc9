// What the index keeps of a game beyond its players: the whole date, both ratings, the event,
// the site and the round, read by the rules every reader follows (the first tag of a name).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/pgnread.h"
#include "records/pgntags.h"
#include "records/pgnwrite.h"
#include "records_fixture.h"

TEST(CatalogueIndex, DatesAndRatingsAsTheValuesGiveThem) {
    struct DateCase {
        const char* value;
        int         year, month, day;
    };
    const DateCase dates[] = {
        {"2012.03.07", 2012, 3, 7},  {"2012.??.??", 2012, 0, 0}, {"2012.03.??", 2012, 3, 0},
        {"2012.??.15", 2012, 0, 0},  {"????.03.07", 0, 0, 0},    {"2012", 2012, 0, 0},
        {"2012.13.01", 2012, 0, 0},  {"2012.00.01", 2012, 0, 0}, {"2012.12.32", 2012, 12, 0},
        {"2012.12.31", 2012, 12, 31}, {"2012.1.5", 2012, 0, 0},  {"2012.03", 2012, 3, 0},
        {"2012-03-07", 2012, 0, 0},  {"", 0, 0, 0},
    };
    for (const DateCase& c : dates) {
        SCOPED_TRACE(c.value);
        const PgnDate date = dateOf(c.value, static_cast<int>(std::string(c.value).size()));
        EXPECT_EQ(date.year, c.year);
        EXPECT_EQ(date.month, c.month);
        EXPECT_EQ(date.day, c.day);
    }
    struct RatingCase {
        const char* value;
        int         rating;
    };
    const RatingCase ratings[] = {{"2700", 2700}, {" 2700 ", 2700}, {"850", 850},  {"0", 0},
                                  {"", 0},        {"-", 0},         {"?", 0},      {"2700+", 0},
                                  {"27 00", 0},   {"12345", 0},     {"9999", 9999}};
    for (const RatingCase& c : ratings) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(ratingOf(c.value, static_cast<int>(std::string(c.value).size())), c.rating);
    }
}

TEST(CatalogueIndex, EntriesKeepDateRatingsEventSiteAndRound) {
    const std::string text =
        "[Event \"Tata Steel\"]\n[Site \"Wijk aan Zee\"]\n[Date \"2012.01.21\"]\n[Round \"7\"]\n"
        "[White \"Carlsen\"]\n[Black \"Aronian\"]\n[WhiteElo \"2835\"]\n[BlackElo \"2805\"]\n\n"
        "1. e4 e5 1-0\n\n"
        // The same event and site, a partial date, one rating missing and one unreadable.
        "[Event \"Tata Steel\"]\n[Site \"Wijk aan Zee\"]\n[Date \"2012.??.??\"]\n[Round \"8\"]\n"
        "[White \"carlsen\"]\n[BlackElo \"-\"]\n\n1. d4 d5 *\n\n"
        // The first tag of a name counts, for the new tags as for the others.
        "[Event \"Open\"]\n[Event \"Closed\"]\n[WhiteElo \"2100\"]\n[WhiteElo \"2200\"]\n"
        "[Date \"1999.05.??\"]\n[Round \"1.4\"]\n[Site \"\"]\n\n1. c4 0-1\n\n"
        // None of them at all.
        "[White \"X\"]\n\n1. e4 *\n";
    const IndexRun run = indexText(text);
    ASSERT_TRUE(run.ok);
    ASSERT_EQ(run.games.size(), 4u);
    struct Expected {
        int         year, month, day, whiteElo, blackElo;
        const char *event, *site, *round;
    };
    const Expected expected[] = {
        {2012, 1, 21, 2835, 2805, "Tata Steel", "Wijk aan Zee", "7"},
        {2012, 0, 0, 0, 0, "Tata Steel", "Wijk aan Zee", "8"},
        {1999, 5, 0, 2100, 0, "Open", "", "1.4"},
        {0, 0, 0, 0, 0, "", "", ""},
    };
    for (std::size_t k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        const GameEntry& e = run.games[k];
        const Expected&  x = expected[k];
        EXPECT_EQ(e.year, x.year);
        EXPECT_EQ(e.month, x.month);
        EXPECT_EQ(e.day, x.day);
        EXPECT_EQ(e.whiteElo, x.whiteElo);
        EXPECT_EQ(e.blackElo, x.blackElo);
        EXPECT_EQ(run.names.name(e.event), x.event);
        EXPECT_EQ(run.names.name(e.site), x.site);
        EXPECT_EQ(run.names.name(e.round), x.round);
    }
    // Each distinct text is kept once; names that differ in case stay apart.
    EXPECT_EQ(run.games[0].event, run.games[1].event);
    EXPECT_EQ(run.games[0].site, run.games[1].site);
    EXPECT_NE(run.games[0].white, run.games[1].white);
    EXPECT_EQ(run.games[3].event, 0u);

    // A game the writer writes gives the same entry when indexed again.
    const std::string third = text.substr(text.find("[Event \"Open\"]"),
                                          text.find("[White \"X\"]") - text.find("[Event \"Open\"]"));
    ASSERT_TRUE(parseGameText(third.c_str(), third.size()));
    std::vector<char> record(GameRecordSize);
    writeGameRecord(record.data(), record.size());
    const IndexRun again = indexText(record.data());
    ASSERT_EQ(again.games.size(), 1u) << record.data();
    const GameEntry& e = again.games[0];
    EXPECT_EQ(e.whiteElo, 2100) << record.data();
    EXPECT_EQ(again.names.name(e.event), "Open") << record.data();
    EXPECT_EQ(again.names.name(e.round), "1.4") << record.data();
    EXPECT_EQ(e.year * 100 + e.month, 199905) << record.data();
}
