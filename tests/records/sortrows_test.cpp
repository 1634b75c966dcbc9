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
    }
    std::vector<const GameEntry*> rows, expected;
    for (const GameEntry& e : games) rows.push_back(&e);
    expected = rows;
    // Column after column, so that each sort starts from the order the last one left.
    for (int column : {ColumnEco, ColumnWhite, ColumnResult, ColumnBlack, ColumnMoves, ColumnYear, ColumnWhite}) {
        std::stable_sort(expected.begin(), expected.end(), [&names, column](const GameEntry* a, const GameEntry* b) {
            return compareByColumn(*a, *b, names, column) < 0;
        });
        sortRows(rows, names, column);
        ASSERT_EQ(rows, expected) << "column " << column;
    }
}
