// The game list's sort against the plain stable sort by compareByColumn, on rows whose names
// share long prefixes, differ only in case, run past 31 bytes or hold UTF-8 bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "records/gamefilter.h"

TEST(SortRows, OrdersAsTheStableSortByEachColumn) {
    static const char* const stems[] = {"Carlsen, Magnus", "carlsen, magnus", "Carlsen",   "",
                                        "Anand, Viswanathan", "ANAND, VISWANATHAN XXXXXX XXXXXXXXXX",
                                        "\xC3\x96zt\xC3\xBCrk, A", "Zz"};
    std::mt19937           random(11);
    std::vector<GameEntry> games(3000);
    PlayerNames            names;
    for (std::size_t i = 0; i < games.size(); ++i) {
        GameEntry& e = games[i];
        e            = GameEntry{};
        e.number     = static_cast<std::uint32_t>(i);
        // Suffixes put some names past 31 bytes, where they once were cut.
        e.white = names.intern(std::string(stems[random() % 8]) + (random() % 2 ? " " : "") +
                               std::to_string(random() % 40));
        e.black = names.intern(stems[random() % 8]);
        const int results[4] = {0, WhiteWon, BlackWon, Drawn};
        e.info  = static_cast<std::uint16_t>((random() % 501) | results[random() % 4] | Matched);
        e.moves = static_cast<std::uint16_t>(random() % 60);
        e.year  = static_cast<std::int16_t>(random() % 3 ? 1990 + random() % 30 : 0);
        e.month = static_cast<std::uint8_t>(e.year ? random() % 13 : 0);
        e.day   = static_cast<std::uint8_t>(e.month ? random() % 32 : 0);
        e.whiteElo = static_cast<std::uint16_t>(random() % 3 ? 800 + random() % 2200 : 0);
        e.blackElo = static_cast<std::uint16_t>(random() % 3 ? 800 + random() % 2200 : 0);
        e.event    = names.intern(stems[random() % 8]);
        e.site     = names.intern(std::string(stems[random() % 8]) + "x");
        e.round    = names.intern(std::to_string(random() % 12));
    }
    std::vector<const GameEntry*> rows, expected;
    for (const GameEntry& e : games) rows.push_back(&e);
    expected = rows;
    // Column after column, so that each sort starts from the order the last one left.
    for (int column : {ColumnEco, ColumnWhite, ColumnResult, ColumnBlack, ColumnMoves, ColumnYear,
                       ColumnWhite, ColumnDate, ColumnWhiteElo, ColumnEvent, ColumnBlackElo,
                       ColumnSite, ColumnRound, ColumnDate}) {
        std::stable_sort(expected.begin(), expected.end(), [&names, column](const GameEntry* a, const GameEntry* b) {
            return compareByColumn(*a, *b, names, column) < 0;
        });
        sortRows(rows, names, column);
        ASSERT_EQ(rows, expected) << "column " << column;
    }
}

// Ratings and dates order as numbers, the unknown first (an unknown part before any known
// one); their cells show what the index keeps.
TEST(SortRows, RatingsAndDatesAsNumbers) {
    PlayerNames names;
    struct Row {
        int         year, month, day, elo;
        const char* date;
    };
    const Row table[] = {{2012, 3, 1, 2100, "2012.03.01"}, {2012, 0, 0, 900, "2012.??.??"},
                         {0, 0, 0, 0, "????.??.??"},       {2011, 12, 31, 10000 - 1, "2011.12.31"},
                         {2012, 1, 5, 2099, "2012.01.05"},  {2012, 3, 0, 150, "2012.03.??"}};
    std::vector<GameEntry> games;
    for (const Row& r : table) {
        GameEntry e{};
        e.number   = static_cast<std::uint32_t>(games.size());
        e.year     = static_cast<std::int16_t>(r.year);
        e.month    = static_cast<std::uint8_t>(r.month);
        e.day      = static_cast<std::uint8_t>(r.day);
        e.whiteElo = static_cast<std::uint16_t>(r.elo);
        games.push_back(e);
        char cell[NameCellSize];
        columnText(e, names, ColumnDate, cell, sizeof cell);
        EXPECT_STREQ(cell, r.date);
        columnText(e, names, ColumnWhiteElo, cell, sizeof cell);
        EXPECT_EQ(std::string(cell), r.elo ? std::to_string(r.elo) : "");
    }
    const auto order = [&](int column) {
        std::vector<const GameEntry*> rows;
        for (const GameEntry& e : games) rows.push_back(&e);
        sortRows(rows, names, column);
        std::vector<std::uint32_t> numbers;
        for (const GameEntry* e : rows) numbers.push_back(e->number);
        return numbers;
    };
    EXPECT_EQ(order(ColumnDate), (std::vector<std::uint32_t>{2, 3, 1, 4, 5, 0}));
    EXPECT_EQ(order(ColumnWhiteElo), (std::vector<std::uint32_t>{2, 5, 1, 4, 0, 3}));
}
