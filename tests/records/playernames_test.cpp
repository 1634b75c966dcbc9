// The table of player names: each distinct name once, ids in the order first seen, whole
// names of any bytes, and the join of two tables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/playernames.h"

TEST(PlayerNames, InternsEachDistinctNameOnce) {
    PlayerNames names;
    EXPECT_EQ(names.size(), 1u);
    EXPECT_EQ(names.intern(""), 0u); // the empty name is there from the start
    const std::string japanese = "羽生 善治";
    const std::string longName = std::string(200, 'x') + "\xE3\x81\x82" + std::string(52, 'y'); // 255 bytes
    const std::vector<std::string> distinct = {"Carlsen, Magnus", "carlsen, magnus", japanese, longName,
                                               "Carlsen", std::string(1000, 'z')};
    for (std::size_t i = 0; i < distinct.size(); ++i) EXPECT_EQ(names.intern(distinct[i]), i + 1);
    for (std::size_t i = 0; i < distinct.size(); ++i) {
        EXPECT_EQ(names.intern(distinct[i]), i + 1);
        EXPECT_EQ(names.name(static_cast<std::uint32_t>(i + 1)), distinct[i]);
        EXPECT_EQ(names.name(static_cast<std::uint32_t>(i + 1)).data()[distinct[i].size()], '\0');
    }
    EXPECT_EQ(names.size(), distinct.size() + 1);

    // Through many growths of the hash, every name keeps its id.
    for (int i = 0; i < 100000; ++i) names.intern("player " + std::to_string(i));
    EXPECT_EQ(names.size(), distinct.size() + 1 + 100000);
    for (int i = 0; i < 100000; i += 997)
        EXPECT_EQ(names.name(names.intern("player " + std::to_string(i))), "player " + std::to_string(i));
    EXPECT_EQ(names.intern(japanese), 3u);
    EXPECT_EQ(names.size(), distinct.size() + 1 + 100000);
}

TEST(PlayerNames, AbsorbMapsEveryIdOfTheOther) {
    PlayerNames first, second;
    for (const char* name : {"Tal", "Botvinnik", "羽生 善治"}) first.intern(name);
    for (const char* name : {"羽生 善治", "Kasparov", "Tal", "tal"}) second.intern(name);
    const std::vector<std::uint32_t> ids = first.absorb(second);
    ASSERT_EQ(ids.size(), second.size());
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{0, 3, 4, 1, 5}));
    for (std::uint32_t id = 0; id < second.size(); ++id) EXPECT_EQ(first.name(ids[id]), second.name(id));
    EXPECT_EQ(first.size(), 6u);
    EXPECT_EQ(first.absorb(first), (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(first.absorb(PlayerNames{}), std::vector<std::uint32_t>{0});
}
