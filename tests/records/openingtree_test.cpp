// The opening explorer: its counts against a reference count, transpositions, the depth and
// games that do not replay.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <map>

#include "book/openings.h"
#include "records/openingtree.h"
#include "engine/movegen.h"
#include "records_fixture.h"

namespace {

// The rows of an answer as the reference file writes them: by SAN, "san count white draws
// black lastyear", then "games N".
std::string referenceText(const TreeAnswer& answer) {
    std::map<std::string, std::string> rows;
    for (const TreeMoveRow& r : answer.moves)
        rows[r.san] = std::string(r.san) + ' ' + std::to_string(r.count) + ' ' +
                      std::to_string(r.whiteWins) + ' ' + std::to_string(r.draws) + ' ' +
                      std::to_string(r.blackWins) + ' ' + std::to_string(r.lastYear) + '\n';
    std::string text;
    for (const auto& [san, row] : rows) text += row;
    return text + "games " + std::to_string(answer.games) + '\n';
}

TreeAnswer answerAt(const OpeningTree& tree, const std::string& line) {
    EXPECT_TRUE(playSan(line)) << line;
    return tree.answer();
}

} // namespace

// tests/differential/twic944-tree.txt holds chess.js's counts (tests/differential/tree-vs-chessjs.sh).
TEST(OpeningTree, CountsAgreeWithReplayByChessJs) {
    OpeningTree tree;
    ASSERT_TRUE(tree.build(testData("twic944.pgn").c_str()));
    EXPECT_EQ(tree.gameCount(), 2953u);
    std::ifstream in(NORVANE_SOURCE_DIR "/tests/differential/twic944-tree.txt");
    std::string   line, position, expected;
    int           positions = 0;
    const auto    check     = [&] {
        if (position.empty() && expected.empty()) return;
        EXPECT_EQ(referenceText(answerAt(tree, position)), expected) << "position: " << position;
        ++positions;
    };
    bool inPosition = false;
    while (std::getline(in, line)) {
        if (line.starts_with("#")) continue;
        if (line.starts_with("position")) {
            if (inPosition) check();
            position   = line.size() > 9 ? line.substr(9) : "";
            expected   = {};
            inPosition = true;
        } else {
            expected += line + '\n';
        }
    }
    if (inPosition) check();
    EXPECT_EQ(positions, 7);
}

TEST(OpeningTree, TranspositionsMeetAndAGameCountsOncePerPosition) {
    const std::string text =
        "[Date \"1990.01.01\"]\n\n1. e4 e5 2. Nf3 Nc6 1-0\n\n"
        "[Date \"2001.??.??\"]\n\n1. Nf3 Nc6 2. e4 e5 3. Bb5 0-1\n\n"
        // Knights out and back: the start position twice, counted once with its first move.
        "[Date \"1995.01.01\"]\n\n1. Nf3 Nf6 2. Ng1 Ng8 3. d4 1/2-1/2\n\n"
        "[FEN \"8/8/8/8/8/8/4k3/4K3 w - - 0 1\"]\n\n1. Kf1 *\n\n"
        "[Variant \"Crazyhouse\"]\n\n1. e4 e5 2. Nf3 1-0\n\n"
        "[Date \"1980.01.01\"]\n\n*\n\n";
    OpeningTree tree;
    ASSERT_TRUE(tree.build(writeTempFile("tree.pgn", text).c_str()));
    EXPECT_EQ(tree.gameCount(), 4u); // the set-up game and the other variant are not replayed
    EXPECT_EQ(referenceText(answerAt(tree, "")), "Nf3 2 0 1 1 2001\ne4 1 1 0 0 1990\ngames 4\n");
    EXPECT_EQ(referenceText(answerAt(tree, "e4 e5 Nf3 Nc6")), "Bb5 1 0 0 1 2001\ngames 2\n");
    const TreeAnswer root = answerAt(tree, "");
    ASSERT_EQ(root.moves.size(), 2u);
    EXPECT_STREQ(root.moves[0].san, "Nf3"); // most played first
    // Bb5 leads to a position the opening table names; the row carries that name.
    const TreeAnswer ruy = answerAt(tree, "e4 e5 Nf3 Nc6");
    ASSERT_TRUE(playSan("e4 e5 Nf3 Nc6 Bb5"));
    ASSERT_NE(findOpening(board.hashKey), NoOpening);
    EXPECT_EQ(ruy.moves.at(0).opening, findOpening(board.hashKey));
    EXPECT_EQ(answerAt(tree, "c4").games, 0u);
}

TEST(OpeningTree, StopsAtItsDepthAndAtAMoveThatDoesNotRead) {
    // A game of TreeDepth + 4 plies: at each ply the first legal move, as SAN.
    setupStartPosition();
    std::vector<std::string> sans;
    for (int ply = 0; ply < TreeDepth + 4; ++ply) {
        Move  moves[256];
        Move* end = genAllMoves(board.sideToMove, moves);
        Move* m   = moves;
        while (m < end && leavesKingAttacked(*m))
            ++m;
        ASSERT_LT(m, end);
        char san[8];
        moveToSan(*m, san);
        sans.push_back(san);
        makeMove(*m);
    }
    std::string game = "[Date \"2000.01.01\"]\n\n", line;
    for (const std::string& san : sans) game += san + ' ';
    game += "1-0\n\n[Date \"2000.01.01\"]\n\n1. e4 Ke7 2. Qh5 1-0\n\n";
    OpeningTree tree;
    ASSERT_TRUE(tree.build(writeTempFile("deep.pgn", game).c_str()));
    for (int ply = 0; ply < TreeDepth - 1; ++ply)
        line += sans[ply] + ' ';
    EXPECT_EQ(answerAt(tree, line).moves.size(), 1u);
    line += sans[TreeDepth - 1];
    EXPECT_EQ(referenceText(answerAt(tree, line)), "games 1\n"); // at the depth: no move
    EXPECT_EQ(answerAt(tree, line + ' ' + sans[TreeDepth]).games, 0u);
    EXPECT_EQ(referenceText(answerAt(tree, "e4")), "games 1\n"); // Ke7 is not legal
}

// A byte limit bounds the tables (the positions, with the copy made while they grow, and the
// moves): the positions met first stay, each with all its games.
TEST(OpeningTree, AtItsByteLimitStaysWithinIt) {
    constexpr std::size_t limit = std::size_t{3} << 20;
    OpeningTree           bounded(TreePositionLimit, limit);
    ASSERT_TRUE(bounded.build(testData("twic944.pgn").c_str()));
    EXPECT_TRUE(bounded.full());
    EXPECT_LE(bounded.memoryBytes(), limit);
    OpeningTree whole;
    ASSERT_TRUE(whole.build(testData("twic944.pgn").c_str()));
    EXPECT_GT(whole.memoryBytes(), limit);
    EXPECT_GT(bounded.positionCount(), 10000u);
    EXPECT_LT(bounded.positionCount(), whole.positionCount());
    for (const char* line : {"", "e4", "e4 c5"})
        EXPECT_EQ(answerAt(bounded, line).games, answerAt(whole, line).games) << line;
}

TEST(OpeningTree, AtItsPositionLimitKeepsThePositionsMetFirstWhole) {
    OpeningTree full(40);
    ASSERT_TRUE(full.build(testData("twic944.pgn").c_str()));
    EXPECT_TRUE(full.full());
    EXPECT_EQ(full.positionCount(), 40u);
    OpeningTree whole;
    ASSERT_TRUE(whole.build(testData("twic944.pgn").c_str()));
    EXPECT_FALSE(whole.full());
    // The first game's line was met first: its positions keep every game and move.
    for (const char* line : {"", "e4", "e4 c5"})
        EXPECT_EQ(referenceText(answerAt(full, line)), referenceText(answerAt(whole, line))) << line;
}

TEST(OpeningTree, DropsADamagedGameAndLeavesTheBoardAlone) {
    OpeningTree tree;
    ASSERT_TRUE(playSan("d4 d5"));
    const Board before = board;
    EXPECT_TRUE(tree.build(writeTempFile("broken.pgn", "[Event \"a\"]\n1. e4 e5 1-0\n\n[Event \"b\"]\n1. d4 ]] 0-1\n\n[Event \"c\"]\n1. e4 c5 0-1\n").c_str()));
    EXPECT_TRUE(board == before);
    EXPECT_EQ(tree.gameCount(), 2u); // the damaged game is no game
    // What the damaged game played before its fault stays counted; the game after it counts.
    EXPECT_EQ(answerAt(tree, "").games, 3u);
    EXPECT_EQ(answerAt(tree, "e4").games, 2u);
    EXPECT_FALSE(tree.build("/nonexistent/file.pgn"));
    EXPECT_EQ(tree.positionCount(), 0u);
}

// A file cut or written over after it was opened and before its build ends gives no tree: the
// build fails as FileChanged, whatever it read.
TEST(OpeningTree, RefusesAFileThatChangesWhileItIsRead) {
    const std::string original = "[Event \"a\"]\n\n1. e4 e5 1-0\n\n[Event \"b\"]\n\n1. d4 d5 0-1\n";
    struct Case { const char* what; std::string text; bool touch; };
    const Case cases[] = {
        {"cut short", original.substr(0, original.size() / 2), false},
        {"written over, same size", std::string(original).replace(16, 2, "d4"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = writeTempFile("changing-tree.pgn", original);
        BufferedFile      file;
        ASSERT_TRUE(file.open(path.c_str()));
        writeTempFile("changing-tree.pgn", c.text);
        if (c.touch) {
            // Another modification time, whatever the file system's clock grain.
            const timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
            ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
        }
        OpeningTree tree;
        EXPECT_FALSE(tree.build(file));
        EXPECT_EQ(tree.outcome(), TreeBuild::FileChanged);
        EXPECT_EQ(tree.positionCount(), 0u);
    }
    OpeningTree tree;
    EXPECT_TRUE(tree.build(writeTempFile("steady-tree.pgn", original).c_str()));
    EXPECT_EQ(tree.outcome(), TreeBuild::Built);
    EXPECT_FALSE(tree.build("/nonexistent/file.pgn"));
    EXPECT_EQ(tree.outcome(), TreeBuild::CannotOpen);
}
