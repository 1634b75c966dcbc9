// A player's record from the index of tests/data/catalogue-search.pgn: what the command-line
// differential test does not see (the rating line's order, the beaten list's order, the names
// holding a text, and the selection a click on an opening or a year makes).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/indexpass.h"
#include "records/playerrecord.h"

namespace {

struct Indexed {
    BufferedFile           file;
    FileInfo               info{};
    std::vector<GameEntry> games;
    PlayerNames            names;
};

void indexCatalogue(Indexed& indexed) {
    ASSERT_TRUE(indexed.file.open((std::string(NORVANE_TEST_DATA) + "/catalogue-search.pgn").c_str()));
    ASSERT_TRUE(indexFile(indexed.file, indexed.info, indexed.games, indexed.names));
}

std::vector<int> matchedNumbers(const std::vector<GameEntry>& games) {
    std::vector<int> numbers;
    for (const GameEntry& e : games)
        if (e.info & Matched) numbers.push_back(static_cast<int>(e.number));
    return numbers;
}

} // namespace

TEST(PlayerRecord, RatingsByDateBeatenByRatingAndTheGamesAClickSelects) {
    Indexed indexed;
    indexCatalogue(indexed);
    const PlayerRecord record = playerRecord(indexed.games, indexed.names, "Carlsen, Magnus");
    ASSERT_NE(record.player, 0u);
    // 2011.10.08 (2826), 2012.01.14 (2835), 2012.03.?? (2835), 2012.12.04 (2848); the game of
    // 2012.12.?? has an unreadable rating ("-").
    std::vector<std::pair<int, int>> ratings;
    for (const RatingPoint& p : record.ratings) ratings.emplace_back(p.date, p.rating);
    EXPECT_EQ(ratings, (std::vector<std::pair<int, int>>{
                           {20111008, 2826}, {20120114, 2835}, {20120300, 2835}, {20121204, 2848}}));
    ASSERT_EQ(record.beaten.size(), 3u);
    EXPECT_EQ(record.beaten[0].rating, 2805);
    EXPECT_EQ(indexed.names.name(record.beaten[2].name), "Jones, Gawain");
    EXPECT_EQ(record.whiteOpenings.size(), 3u);
    EXPECT_EQ(record.years.front().year, 2011);

    // Only the matched games, when asked.
    for (GameEntry& e : indexed.games) e.info &= static_cast<std::uint16_t>(~Matched);
    indexed.games[0].info |= Matched;
    EXPECT_EQ(playerRecord(indexed.games, indexed.names, "Carlsen, Magnus", true).all.games, 1);

    struct Case {
        PlayerGames      selection;
        std::vector<int> games;
    };
    const Case cases[] = {
        {{record.player, EitherSide, -1, 0}, {0, 3, 4, 6, 7}},
        {{record.player, BlackSide, -1, 0}, {4, 6}},
        {{record.player, WhiteSide, 190, 0}, {0}},   // B90
        {{record.player, EitherSide, -1, 2012}, {0, 3, 4, 7}},
        {{0, EitherSide, -1, 0}, {}},                // nobody
    };
    for (const Case& c : cases) {
        EXPECT_EQ(markPlayerGames(indexed.games, c.selection), static_cast<std::int64_t>(c.games.size()));
        EXPECT_EQ(matchedNumbers(indexed.games), c.games);
    }
}

TEST(PlayerRecord, NamesHoldingATextMostPlayedFirstAndExactNamesOnly) {
    Indexed indexed;
    indexCatalogue(indexed);
    std::vector<std::string> found;
    for (const PlayerCount& p : playersMatching(indexed.games, indexed.names, "carlsen"))
        found.push_back(std::string(indexed.names.name(p.name)) + " " + std::to_string(p.games));
    EXPECT_EQ(found, (std::vector<std::string>{"Carlsen, Magnus 5", "CARLSEN, MAGNUS 1", "Carlsen 1",
                                               "carlsen, magnus 1"}));
    EXPECT_EQ(playerRecord(indexed.games, indexed.names, "carlsen").player, 0u);
    EXPECT_EQ(playerRecord(indexed.games, indexed.names, "").all.games, 0);
    // An event's text is no player.
    EXPECT_TRUE(playersMatching(indexed.games, indexed.names, "Tata").empty());
}
