#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "book/openings.h"
#include "engine/makemove.h"
#include "records/san.h"
#include "tests/common/playsan.h"


// The committed table is exactly what the defining lines give with this engine's keys.
TEST(OpeningTable, MatchesTheDefiningLines) {
    std::ifstream in(NORVANE_SOURCE_DIR "/book/eco-lines.tsv");
    std::string   line;
    ASSERT_TRUE(std::getline(in, line));  // header
    int                     index = 0;
    std::set<std::uint64_t> keys;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string        code, name, moves;
        std::getline(fields, code, '\t');
        std::getline(fields, name, '\t');
        std::getline(fields, moves);
        SCOPED_TRACE(code + " " + moves);
        ASSERT_LT(index, OpeningCount);
        ASSERT_TRUE(playSan(moves));
        const OpeningEntry& entry = openingTable[index];
        EXPECT_EQ((std::uint64_t{entry.keyHigh} << 32) | entry.keyLow, board.hashKey);
        EXPECT_EQ(entry.name, name);
        EXPECT_EQ(entry.ecoIndex, index);
        char text[4];
        ecoCodeText(index, text);
        EXPECT_EQ(code, text);
        EXPECT_NE(board.hashKey, 0u);
        keys.insert(board.hashKey);
        ++index;
    }
    EXPECT_EQ(index, OpeningCount);
    EXPECT_EQ(keys.size(), static_cast<std::size_t>(OpeningCount));
}

TEST(OpeningTable, FindsPositionsWhateverTheMoveOrder) {
    struct Case { const char* line; const char* code; };
    const Case cases[] = {
        {"", nullptr},                        // the initial position names nothing
        {"b3", "A01"},
        {"f4", "A02"},
        {"e4", "B00"},
        {"c4 e6 Nc3 d5 d4", "D31"},           // the Queen's gambit declined by transposition
        {"d4 d5 c4 e6 Nc3 Nf6", "D35"},
        {"d4 d5 c4 e6 Nc3 a6", nullptr},      // one move later the name is gone
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ASSERT_TRUE(playSan(c.line));
        const int found = findOpening(board.hashKey);
        if (!c.code) {
            EXPECT_EQ(found, NoOpening);
            continue;
        }
        ASSERT_NE(found, NoOpening);
        char text[4];
        ecoCodeText(found, text);
        EXPECT_STREQ(text, c.code);
    }
    EXPECT_EQ(findOpening(0x38C177725DE22522ull), 1);
    EXPECT_EQ(findOpening(0x1BEC8AB043C5AA24ull), 2);
}

TEST(OpeningTable, ListTexts) {
    char text[64];
    ecoListText(0, text, sizeof text);
    EXPECT_STREQ(text, "A00 Polish (Sokolsky) opening");
    ecoListText(499, text, sizeof text);
    EXPECT_STREQ(text, "E99 King's Indian: orthodox, Aronin-Taimanov, main line");
    ecoListText(393, text, sizeof text);
    EXPECT_STREQ(text, "D93 Gruenfeld with Bf4    e3");
    EXPECT_STREQ(openingName(500), "");
    EXPECT_STREQ(openingName(-1), "");
}
