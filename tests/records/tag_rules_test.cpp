// One rule for every reader and the writer: of two tags of one name the first counts, and the
// termination token gives the result whatever the Result tag says. The index pass, the
// position search, the explorer and the game parser read each text alike, and a game the
// writer writes reads back the same.
#include <gtest/gtest.h>

#include <vector>

#include "records/openingtree.h"
#include "records/pgnread.h"
#include "records/pgnwrite.h"
#include "records_fixture.h"

namespace {

// What the readers make of a one-game text.
struct Reading {
    int         result = -1; // the index's result bits
    int         year   = -1;
    int         eco    = -1;
    bool        replays = false; // the position search replays it
    bool        inTree  = false; // the explorer counts it
    std::string white;
    // The game parser's.
    int         parsedResult = -1;
    bool        parsed       = false;
    std::string date, parsedWhite, fen;
};

Reading readAll(const std::string& text) {
    Reading        r;
    const IndexRun run = indexText(text);
    EXPECT_TRUE(run.ok);
    if (run.games.size() != 1) {
        ADD_FAILURE() << run.games.size() << " games in\n" << text;
        return r;
    }
    const GameEntry& e = run.games[0];
    r.result           = e.info & ResultMask;
    r.year             = e.year;
    r.eco              = e.info & EcoMask;
    r.white            = std::string(run.names.name(e.white));

    // The position search: the start position is in every game that replays.
    const std::string      path = writeTempFile("tag-rules.pgn", text);
    BufferedFile           file;
    std::vector<GameEntry> games = run.games;
    std::int64_t           first = -1;
    EXPECT_TRUE(file.open(path.c_str()));
    setupStartPosition();
    SearchFilter filter = emptyFilter();
    setPositionCriterion(filter);
    EXPECT_TRUE(findPosition(file, games, run.names, filter, first));
    r.replays = !(games[0].info & Unreadable);
    OpeningTree tree;
    EXPECT_TRUE(tree.build(path.c_str()));
    r.inTree = tree.gameCount() == 1;

    r.parsed       = parseGameText(text.c_str(), text.size());
    r.parsedResult = gameHeader.info & ResultMask;
    r.date         = gameHeader.date;
    r.parsedWhite  = gameHeader.white;
    r.fen          = gameHeader.fen;
    return r;
}

} // namespace

TEST(TagRules, FirstTagOfANameAndTheTerminationTokenEverywhere) {
    struct Case {
        const char* what;
        std::string text;
        int         result, year, eco;
        bool        replays, inTree;
        const char* white;
    };
    const int c20 = 220;
    const Case cases[] = {
        {"Chess960, then an empty Variant", "[Variant \"Chess960\"]\n[Variant \"\"]\n\n1. e4 e5 *\n", 0, 0,
         NoEco, false, false, ""},
        {"an empty Variant, then Chess960", "[Variant \"\"]\n[Variant \"Chess960\"]\n\n1. e4 e5 *\n", 0, 0,
         NoEco, true, true, ""},
        {"Result 1-0, token 0-1", "[Result \"1-0\"]\n\n1. e4 e5 0-1\n", BlackWon, 0, NoEco, true, true, ""},
        {"Result 0-1, token *", "[Result \"0-1\"]\n\n1. e4 e5 *\n", 0, 0, NoEco, true, true, ""},
        {"Result 1/2-1/2, no token", "[Result \"1/2-1/2\"]\n\n1. e4 e5\n", 0, 0, NoEco, true, true, ""},
        {"two Dates, two Whites, two ECO codes",
         "[White \"A\"]\n[Date \"1990.01.01\"]\n[ECO \"C20\"]\n[White \"B\"]\n[Date \"2001.??.??\"]\n"
         "[ECO \"B01\"]\n\n1. e4 e5 1-0\n",
         WhiteWon, 1990, c20, true, true, "A"},
        {"a Date with no year, then one with a year", "[Date \"????.??.??\"]\n[Date \"2001.01.01\"]\n\n1. e4 *\n",
         0, 0, NoEco, true, true, ""},
        {"an ECO value that is no code, then a code", "[ECO \"?\"]\n[ECO \"B01\"]\n\n1. e4 d5 *\n", 0, 0,
         NoEco, true, true, ""},
        {"an empty ECO, then a code", "[ECO \"\"]\n[ECO \"B01\"]\n\n1. e4 d5 *\n", 0, 0, NoEco, true, true, ""},
        {"an empty FEN, then one", "[FEN \"\"]\n[FEN \"4k3/8/8/8/8/8/8/4K3 b - - 0 1\"]\n\n1. e4 *\n", 0, 0,
         NoEco, true, true, ""},
        {"two FEN tags", "[FEN \"4k3/8/8/8/8/8/8/4K3 w - - 0 1\"]\n[FEN \"4k3/8/8/8/8/8/8/3K4 b - - 0 1\"]\n\n1. Kd2 *\n",
         0, 0, NoEco, true, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Reading read = readAll(c.text);
        EXPECT_EQ(read.result, c.result);
        EXPECT_EQ(read.parsedResult, c.result);
        EXPECT_EQ(read.year, c.year);
        EXPECT_EQ(read.eco, c.eco);
        EXPECT_EQ(read.white, c.white);
        EXPECT_EQ(read.parsedWhite, c.white);
        EXPECT_EQ(read.replays, c.replays);
        EXPECT_EQ(read.inTree, c.inTree);
        if (c.year) {
            EXPECT_EQ(read.date.substr(0, 4), std::to_string(c.year));
        }

        // The game as the writer writes it reads back the same, in every reader.
        std::vector<char> record(GameRecordSize);
        writeGameRecord(record.data(), record.size());
        const std::string written = record.data();
        const Reading     again   = readAll(written);
        EXPECT_EQ(again.result, read.result) << written;
        EXPECT_EQ(again.parsedResult, read.parsedResult) << written;
        EXPECT_EQ(again.year, read.year) << written;
        EXPECT_EQ(again.eco, read.eco) << written;
        if (!read.parsedWhite.empty()) {
            EXPECT_EQ(again.parsedWhite, read.parsedWhite) << written; // else the writer's "-"
        }
        EXPECT_EQ(again.replays, read.replays) << written;
        EXPECT_EQ(again.inTree, read.inTree) << written;
        EXPECT_EQ(again.parsed, read.parsed) << written;
        EXPECT_EQ(again.fen, read.fen) << written;
    }
}
