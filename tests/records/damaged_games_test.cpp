// Files with damaged games: the index and search passes skip them alike, count them apart and
// keep every readable game; bytes that belong to no game are counted.
#include <gtest/gtest.h>

#include <algorithm>

#include "records/annotations.h"
#include "records/openingtree.h"
#include "records/pgnread.h"
#include "records_fixture.h"

namespace {

const std::string goodDamagedGood =
    "[Event \"first\"]\n\n1. e4 e5 2. Nf3 1-0\n\n"
    "[Event \"damaged\"]\n\n1. d4 d5 2. c4 Z0 3. Nc3 *\n\n"
    "[Event \"third\"]\n\n1. c4 e5 0-1\n";

}  // namespace

TEST(DamagedGames, SkippedAndCountedApartByBothPasses) {
    const std::string path = writeTempFile("damaged.pgn", goodDamagedGood);
    BufferedFile      file;
    ASSERT_TRUE(file.open(path.c_str()));
    FileInfo               info{};
    std::vector<GameEntry> games;
    PlayerNames            names;
    ASSERT_TRUE(indexFile(file, info, games, names));
    ASSERT_EQ(games.size(), 2u);
    EXPECT_EQ(info.games, 2);
    EXPECT_EQ(info.skippedGames, 1);
    EXPECT_EQ(info.whiteWins + info.blackWins, 2);
    const std::vector<ScanFailure> places = skippedGamePlaces(file, info);
    ASSERT_EQ(places.size(), 1u);
    EXPECT_EQ(places[0].kind, FileProblem::GameSkipped);
    EXPECT_EQ(places[0].offset, info.skippedAt[0]);
    EXPECT_EQ(places[0].line, 7);
    EXPECT_STREQ(places[0].text, "1. d4 d5 2. c4 Z0 3. Nc3 *");

    // Each entry's range holds its own game.
    const char* events[] = {"first", "third"};
    for (std::size_t k = 0; k < games.size(); ++k) {
        std::string text;
        ASSERT_GT(readGameText(file, &games[k], text), 0u);
        ASSERT_TRUE(parseGameText(text.c_str(), text.size()));
        EXPECT_STREQ(gameHeader.event, events[k]);
    }

    // The search pass skips the same game: the third game's position is found in entry 1.
    SearchFilter filter = emptyFilter();
    ASSERT_TRUE(playSan("c4 e5"));
    setPositionCriterion(filter);
    clearGame();
    std::int64_t first = -2;
    ASSERT_TRUE(findPosition(file, games, names, filter, first));
    EXPECT_EQ(first, 1);
    EXPECT_FALSE(games[0].info & Matched);
    EXPECT_TRUE(games[1].info & Matched);
}

TEST(DamagedGames, WhereReadingResumes) {
    struct Case { const char* what; std::string text; int games; int skipped; std::int64_t strayBytes; };
    const Case cases[] = {
        // A bad tag line: the rest of its tag section and its movetext go with it.
        {"bad tag", "[Event \"a\"]\n[Date \"" + std::string(300, 'x') + "\"]\n[Round \"1\"]\n\n1. e4 *\n\n"
                    "[Event \"b\"]\n\n1. d4 *\n", 1, 1, 0},
        // A game without its termination token ends where the next tag section begins.
        {"no termination token", "[Event \"a\"]\n\n1. e4 e5\n[Event \"b\"]\n\n1. d4 *\n", 1, 1, 0},
        // "[%clk" at the start of a line inside the damaged game is no tag section.
        {"comment lines starting with a bracket", "[Event \"a\"]\n\n1. e4 ) {\n[%clk 0:01]\n} e5 *\n\n"
                    "[Event \"b\"]\n\n1. d4 *\n", 1, 1, 0},
        // A zero byte damages the game it is in, and is no game text between games.
        {"zero byte in a game", "[Event \"a\"]\n\n1. e4 " + std::string(1, '\0') + " e5 *\n\n"
                    "[Event \"b\"]\n\n1. d4 *\n", 1, 1, 0},
        {"zero byte after a bracket while skipping", "[Event \"a\"]\n\n1. e4 *\n\n[Event \"b\"]\n\n1. d4 Z0 *\n\n[" +
                    std::string(1, '\0') + "Event \"c\"]\n\n1. d4 *\n", 1, 1, 0},
        {"zero byte between games", "[Event \"a\"]\n\n1. e4 *\n" + std::string(1, '\0') +
                    "\n[Event \"b\"]\n\n1. d4 *\n", 2, 0, 0},
        // A comment or a side line never closed ends where a tag line follows a blank line: the
        // game that opened it is damaged, the next one is read.
        {"comment never closed", "[Event \"a\"]\n\n1. e4 {never closed\n\n[Event \"b\"]\n\n1. d4 *\n", 1, 1, 0},
        {"... with CR LF and an indented tag line", "[Event \"a\"]\r\n\r\n1. e4 {x\r\n \r\n  [Event \"b\"]\r\n\r\n1. d4 *\r\n",
                    1, 1, 0},
        {"side line never closed", "[Event \"a\"]\n\n1. e4 (1. d4 d5 (1... Nf6)\n\n[Event \"b\"]\n\n1. d4 *\n", 1, 1, 0},
        {"comment never closed in a side line", "[Event \"a\"]\n\n1. e4 (1. d4 {x\n\n[Event \"b\"]\n1. d4 *\n", 1, 1, 0},
        // What players write: a blank line in a comment, then text that is no tag line.
        {"a comment with blank lines and brackets stays one comment",
         "[Event \"a\"]\n\n1. e4 {First.\n\nSecond.\n\n[see game 2]\n\n[Event]\n\n[Event \"b\" x]} e5 *\n", 1, 0, 0},
        {"a side line with blank lines stays one side line",
         "[Event \"a\"]\n\n1. e4 (1. d4\n\n[%clk 0:01]\n\n1... d5) e5 *\n", 1, 0, 0},
        {"text between games", "Some notes.\n[Event \"a\"]\n\n1. e4 *\n", 1, 0, 10},
        {"a text with no game at all", "\x01\x02 binary \xff", 0, 0, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const IndexRun run = indexText(c.text);
        EXPECT_EQ(run.ok, c.games > 0 || c.skipped == 0);
        EXPECT_EQ(run.info.games, c.games);
        EXPECT_EQ(run.info.skippedGames, c.skipped);
        EXPECT_EQ(run.info.strayBytes, c.strayBytes);
        EXPECT_EQ(run.info.zeroBytes, c.text.find('\0') == std::string::npos ? 0 : 1);
        for (const GameEntry& e : run.games) EXPECT_EQ(c.text[static_cast<std::size_t>(e.start())], '[');
        if (!run.games.empty()) {
            std::string game = c.text.substr(static_cast<std::size_t>(run.games.back().start()));
            EXPECT_TRUE(parseGameText(game.c_str(), game.size()));
        }
    }
}

TEST(DamagedGames, Pgn4webTestFileOpensWithEveryReadableGame) {
    const std::string path = testData("pgn4web-test.pgn");
    BufferedFile      file;
    ASSERT_TRUE(file.open(path.c_str()));
    FileInfo               info{};
    std::vector<GameEntry> games;
    PlayerNames            names;
    ASSERT_TRUE(indexFile(file, info, games, names));
    EXPECT_EQ(info.games, 14);
    // The one game left out plays a null move "--" in its main line.
    EXPECT_EQ(info.skippedGames, 1);
    const std::vector<ScanFailure> places = skippedGamePlaces(file, info);
    ASSERT_EQ(places.size(), 1u);
    EXPECT_EQ(places[0].line, 129);
    // "some garbage at the start of the PGN file"
    EXPECT_EQ(info.firstStray, 51);
}

// A brace never closed costs its own game only: the next tag section starts the next game, in
// both passes, the explorer and the game parser.
TEST(DamagedGames, AnUnclosedCommentEndsAtTheNextTagSection) {
    std::string text;
    std::size_t brace = 0;
    for (int k = 0; k < 100; ++k) {
        text += "[Event \"game " + std::to_string(k) + "\"]\n[Result \"1-0\"]\n\n1. e4 e5 2. Nf3 ";
        if (k == 1) {
            brace = text.size();
            text += "{a comment never closed\n\n";
        } else {
            text += "Nc6 1-0\n\n";
        }
    }
    const IndexRun run = indexText(text);
    ASSERT_TRUE(run.ok);
    EXPECT_EQ(run.info.games, 99);
    EXPECT_EQ(run.info.skippedGames, 1);
    EXPECT_EQ(run.info.skippedAt[0], static_cast<std::int64_t>(brace));
    EXPECT_EQ(run.info.whiteWins, 99);

    const std::string path = writeTempFile("unclosed.pgn", text);
    BufferedFile      file;
    ASSERT_TRUE(file.open(path.c_str()));
    std::vector<GameEntry> games = run.games;
    std::int64_t           first = -1;
    ASSERT_TRUE(playSan("e4 e5 Nf3 Nc6"));
    SearchFilter filter = emptyFilter();
    setPositionCriterion(filter);
    setupStartPosition();
    ASSERT_TRUE(findPosition(file, games, run.names, filter, first));
    EXPECT_EQ(std::count_if(games.begin(), games.end(), [](const GameEntry& e) { return e.info & Matched; }), 99);

    OpeningTree tree;
    ASSERT_TRUE(tree.build(path.c_str()));
    EXPECT_EQ(tree.gameCount(), 99u);

    // The game parser reads the damaged game up to the tag line, and fails there.
    const std::string pasted = text.substr(static_cast<std::size_t>(run.games[0].end()) + 3);
    ParseOutcome      outcome;
    EXPECT_FALSE(parseGameText(pasted.c_str(), pasted.size(), &outcome));
    EXPECT_EQ(outcome.problem, ParseProblem::Grammar);
    EXPECT_EQ(pasted.substr(outcome.offset, 17), "[Event \"game 2\"]\n");
}

// A comment that holds blank lines and bracketed text that is no tag line is read whole.
TEST(DamagedGames, ACommentWithBlankLinesIsReadWhole) {
    const std::string text = "[Event \"a\"]\n\n1. e4 {First.\n\n[see game 2]\n\n[Event \"b\" x]} e5 *\n";
    ASSERT_TRUE(parseGameText(text.c_str(), text.size()));
    EXPECT_NE(gameMoves[1].fromTo, 0);
    ASSERT_EQ(gameAnnotations.notes.size(), 1u);
    EXPECT_EQ(gameAnnotations.commentOf(gameAnnotations.notes[0]),
              "First.\n\n[see game 2]\n\n[Event \"b\" x]");
}
