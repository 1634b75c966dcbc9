// Games from a set-up position against a reference: every one replays from its FEN to the
// final position chess.js reached (tests/data/setup-positions.fens, written by
// tests/differential/setup-fens.sh), and the position search finds it there. Games of
// another variant are marked unreadable instead of being replayed from a wrong position.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include "records/fen.h"
#include "records/pgnread.h"
#include "records_fixture.h"

namespace {

struct IndexedFixture {
    BufferedFile           file;
    FileInfo               info{};
    std::vector<GameEntry> games;
    PlayerNames            names;
};

}  // namespace

TEST(SetUpPositions, ReplayToTheReferenceFinalPositions) {
    std::ifstream lines(testData("setup-positions.fens"));
    ASSERT_TRUE(lines.good());
    std::map<std::string, std::unique_ptr<IndexedFixture>> files;
    int compared = 0, otherVariants = 0, unreadByReference = 0;
    for (std::string line; std::getline(lines, line);) {
        SCOPED_TRACE(line);
        std::istringstream fields(line);
        std::string        name, number, fen;
        ASSERT_TRUE(std::getline(fields, name, '\t') && std::getline(fields, number, '\t') &&
                    std::getline(fields, fen));
        auto& indexed = files[name];
        if (!indexed) {
            indexed = std::make_unique<IndexedFixture>();
            ASSERT_TRUE(indexed->file.open(testData(name.c_str()).c_str()));
            ASSERT_TRUE(indexFile(indexed->file, indexed->info, indexed->games, indexed->names));
        }
        GameEntry& entry = indexed->games.at(std::stoul(number));
        std::string text;
        ASSERT_GT(readGameText(indexed->file, &entry, text), 0u);
        ParseOutcome outcome;
        const bool   read = parseGameText(text.c_str(), text.size(), &outcome);
        if (outcome.problem == ParseProblem::OtherVariant) {
            EXPECT_EQ(fen, "-");
            EXPECT_TRUE(entry.info & Unreadable);
            ++otherVariants;
            continue;
        }
        ASSERT_TRUE(read) << "problem " << static_cast<int>(outcome.problem) << " at " << outcome.move;
        if (fen == "-") {  // a game the reference cannot read (null moves in side lines)
            ++unreadByReference;
            continue;
        }
        gamePly = 0;
        while (gamePly < MaxGameMoves && gameMoves[gamePly].piece)
            makeMove(gameMoves[gamePly++]);
        char ours[128];
        boardToText(ours, sizeof ours);
        EXPECT_EQ(std::string(ours), fen);
        ++compared;

        // The position search finds the game by its final position.
        SearchFilter filter = emptyFilter();
        setPositionCriterion(filter);
        clearGame();
        std::int64_t first = -1;
        ASSERT_TRUE(findPosition(indexed->file, indexed->games, indexed->names, filter, first));
        EXPECT_TRUE(entry.info & Matched);
        EXPECT_FALSE(entry.info & Unreadable);
    }
    EXPECT_EQ(otherVariants, 22);  // carlsen-chesscom.pgn's Chess960 games, and the fixture's
    EXPECT_GE(compared, 12);
    EXPECT_LE(unreadByReference, 2);
}

TEST(SetUpPositions, GamesThatCannotStartWhereTheySay) {
    struct Case { const char* what; std::string text; ParseProblem problem; };
    const Case cases[] = {
        {"FEN that cannot be read", "[FEN \"8/8/8/8 w - - 0 1\"]\n\n1. e4 *", ParseProblem::BadSetUp},
        {"FEN without movetext", "[FEN \"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN w KQkq - 0 1\"]\n*",
         ParseProblem::BadSetUp},
        {"Chess960", "[Variant \"Chess960\"]\n[FEN \"" + std::string(
             "bbqrknrn/pppppppp/8/8/8/8/PPPPPPPP/BBQRKNRN w - - 0 1") + "\"]\n\n1. e4 *",
         ParseProblem::OtherVariant},
        {"a standard variant named", "[Variant \"From Position\"]\n[FEN \"4k3/8/8/8/8/8/8/4K3 w - - 0 1\"]\n\n1. Kd2 *",
         ParseProblem::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ParseOutcome outcome;
        EXPECT_EQ(parseGameText(c.text.c_str(), c.text.size(), &outcome), c.problem == ParseProblem::None);
        EXPECT_EQ(outcome.problem, c.problem);
        // Nothing is replayed from a position the game does not start in.
        if (c.problem != ParseProblem::None) {
            EXPECT_EQ(gameMoves[0].piece, 0);
        }
        const IndexRun run = indexText(c.text);
        ASSERT_EQ(run.games.size(), 1u);
    }
}
