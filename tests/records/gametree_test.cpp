// The game as a tree and its lossless writer: every game of the annotated fixtures written,
// read back and compared as trees, written again to the same bytes; a plain game written as
// the record writer writes it; the current game derived from the tree; paths and positions.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "records/annotations.h"
#include "records/fen.h"
#include "records/gametree.h"
#include "records/gametreewrite.h"
#include "records/pgnread.h"
#include "records/pgnwrite.h"
#include "records_fixture.h"
#include "tests/common/pgnextract.h"

namespace {

// The games of a fixture, each as its text: read as the document reads them, by the index.
std::vector<std::string> gamesOf(const char* name) {
    BufferedFile           file;
    FileInfo               info{};
    std::vector<GameEntry> games;
    PlayerNames            names;
    std::vector<std::string> texts;
    EXPECT_TRUE(file.open(testData(name).c_str())) << name;
    EXPECT_TRUE(indexFile(file, info, games, names)) << name;
    for (const GameEntry& entry : games) {
        std::string text;
        readGameText(file, &entry, text);
        texts.push_back(text);
    }
    return texts;
}

GameTree treeOf(const std::string& text, bool* read = nullptr) {
    GameTree   tree;
    const bool ok = parseGameTree(text.c_str(), text.size(), tree);
    if (read) *read = ok;
    return tree;
}

std::string recordOfCurrentGame() {
    std::string written(GameRecordSize, '\0');
    writeGameRecord(written.data(), written.size());
    written.resize(written.find('\0'));
    return written;
}

int countComments(const MoveLine& line) {
    int n = 0;
    for (const MoveNode& node : line.moves) {
        n += static_cast<int>(node.commentsBefore.size() + node.commentsAfter.size());
        for (const MoveLine& side : node.variations)
            n += countComments(side);
    }
    return n;
}

const char* const AnnotatedFixtures[] = {"lichess-annotated.pgn", "chess-informant-sample.pgn",
                                         "nested-variations.pgn", "pgn4web-test.pgn",
                                         "study-annotated.pgn"};

// pgn-extract's reading of a game's text: its movetext (moves, glyphs, comments and side lines
// in its own spelling), one token after another; empty when it reports a problem.
std::string movetextByPgnExtract(const std::string& program, const std::string& text) {
    const std::string path     = writeTempFile("pgn-extract-in.pgn", text);
    const std::string problems = writeTempFile("pgn-extract-problems.txt", "");
    const std::string command  = program + " -s -w1000 '" + path + "' 2>'" + problems + "'";
    FILE*             pipe    = popen(command.c_str(), "r");
    if (!pipe) return "";
    std::string out;
    char        buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe)) {
        const std::string line(buffer);
        if (line.rfind("[", 0) == 0) continue;
        std::istringstream words(line);
        for (std::string word; words >> word;) out += word + ' ';
    }
    pclose(pipe);
    std::ifstream reported(problems);
    return reported.peek() == std::ifstream::traits_type::eof() ? out : "";
}

} // namespace

TEST(GameTree, AnnotatedGamesRoundTripAndWriteTheSameBytesTwice) {
    for (const char* name : AnnotatedFixtures) {
        int index = 0, read = 0;
        for (const std::string& text : gamesOf(name)) {
            SCOPED_TRACE(std::string(name) + " game " + std::to_string(index++));
            bool           ok   = false;
            const GameTree tree = treeOf(text, &ok);
            if (!ok) continue; // a game the parser cannot read (the null move of pgn4web-test.pgn)
            ++read;
            const std::string written = writeGameTree(tree);
            bool              again   = false;
            const GameTree    back    = treeOf(written, &again);
            ASSERT_TRUE(again) << written;
            EXPECT_TRUE(sameGame(tree, back)) << written;
            EXPECT_EQ(writeGameTree(back), written);
            // Never a movetext line over 80 columns but for a comment that is longer alone.
            std::istringstream lines(written.substr(written.find("\n\n")));
            for (std::string line; std::getline(lines, line);)
                if (line.size() > 80 && !tree.plain()) {
                    EXPECT_NE(line.find('{'), std::string::npos) << line;
                }
        }
        EXPECT_GT(read, 0) << name;
    }
}

// Texts whose comments and glyphs stand where the writer would not put them: each reads to a
// tree that the written text reads back to, and writes the same bytes twice.
TEST(GameTree, CommentsAroundSideLinesRoundTrip) {
    const char* const movetexts[] = {
        "1. e4 e5 2. Nf3 Nf6 {c} (N 2... Lx6) {d} (2... Kxx) 3. Nxe5 *",
        "{a} (1. d4 {b}) 1. e4 e5 *",
        "1. e4 ({only a comment}) e5 ( ( {nested} ) ) *",
        "1. e4 $1 (1. d4) $2 {x} e5 *",
        "1. e4 (1. d4) {after the side line, at the end} *",
        "1. e4 ( {a side line of nothing} ) $3 {x} e5 *",
        "1. e4 e5 (1... c5 {in} (1... c6) {after nested}) {after} (1... e6 $7) 2. Nf3 *",
    };
    for (const char* movetext : movetexts) {
        SCOPED_TRACE(movetext);
        const std::string text = std::string("[Event \"E\"]\n\n") + movetext + "\n";
        bool              ok   = false;
        const GameTree    tree = treeOf(text, &ok);
        ASSERT_TRUE(ok);
        const std::string written = writeGameTree(tree);
        const GameTree    back    = treeOf(written, &ok);
        ASSERT_TRUE(ok) << written;
        EXPECT_TRUE(sameGame(tree, back)) << written;
        EXPECT_EQ(writeGameTree(back), written);
    }
}

TEST(GameTree, WhatTheAnnotatedFilesHold) {
    // The first lichess game: its clock and evaluation commands, byte for byte.
    const GameTree lichess = treeOf(gamesOf("lichess-annotated.pgn").at(0));
    ASSERT_FALSE(lichess.mainLine.moves.empty());
    EXPECT_EQ(lichess.mainLine.moves[0].commentsAfter.at(0), " [%eval 0.24] [%clk 0:05:00] ");
    // The study: five levels of side lines, comments before a move, glyphs above 6.
    const GameTree study = treeOf(gamesOf("study-annotated.pgn").at(0));
    EXPECT_EQ(study.mainLine.moves.at(0).commentsBefore,
              std::vector<std::string>{"Before the first move [%csl Ge4,Rd5]"});
    EXPECT_EQ(study.mainLine.moves[0].nags, std::vector<int>{1});
    const MoveNode* deep = nodeAt(study, {5, 0, 1, 0, 1, 0, 1, 0, 1, 0, 2});
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(deep->san, "O-O");
    const MoveNode* twoGlyphs = nodeAt(study, {2});
    ASSERT_NE(twoGlyphs, nullptr);
    EXPECT_EQ(twoGlyphs->nags, (std::vector<int>{22, 18}));
    EXPECT_EQ(twoGlyphs->commentsAfter, (std::vector<std::string>{"two glyphs", "and two comments"}));
    EXPECT_EQ(nodeAt(study, {1, 1, 0})->nags, std::vector<int>{7});
    EXPECT_EQ(study.tag("SourceNote"), "an \"escaped\" value \\ with a backslash");
    EXPECT_EQ(countComments(study.mainLine), 7);
    // A game of a comment alone keeps it.
    const GameTree empty = treeOf(gamesOf("study-annotated.pgn").at(2));
    EXPECT_EQ(empty.comments, std::vector<std::string>{"No moves were played."});
    EXPECT_NE(writeGameTree(empty).find("{No moves were played.} *"), std::string::npos);
}

TEST(GameTree, TheWrittenMovetextOfTheStudy) {
    const std::string written = writeGameTree(treeOf(gamesOf("study-annotated.pgn").at(1)));
    EXPECT_EQ(written,
              "[Event \"Study: set-up position\"]\n[Site \"Norvane tests\"]\n[Date \"2024.05.02\"]\n"
              "[Round \"2\"]\n[White \"Study\"]\n[Black \"Ending\"]\n[Result \"1-0\"]\n[SetUp \"1\"]\n"
              "[FEN \"4k3/8/4K3/4P3/8/8/8/8 b - - 0 57\"]\n\n"
              "57...Kd8 {the only drawing try} (57...Kf8 $2 58.Kd7 $18) 58.Kf7 Kd7 59.e6+ Kd6\n"
              "60.e7 $1 1-0\n\n");
}

// A game without annotations is written as the record writer writes it.
TEST(GameTree, PlainGamesAsTheRecordWriterWritesThem) {
    int compared = 0;
    for (const char* name : {"kasparov-deep-blue-1997.pgn", "capablanca.pgn", "setup-positions.pgn",
                             "catalogue-search.pgn", "utf8-bom.pgn"}) {
        int index = 0;
        for (const std::string& text : gamesOf(name)) {
            SCOPED_TRACE(std::string(name) + " game " + std::to_string(index++));
            bool           ok   = false;
            const GameTree tree = treeOf(text, &ok);
            if (!ok) continue;
            ASSERT_TRUE(parseGameText(text.c_str(), text.size()));
            GameTree mainLine = tree;
            for (MoveNode& node : mainLine.mainLine.moves) node = MoveNode{node.move, node.san, {}, {}, {}, {}};
            mainLine.comments.clear();
            EXPECT_EQ(writeGameTree(mainLine), recordOfCurrentGame());
            ++compared;
        }
    }
    EXPECT_GT(compared, 600);
}

TEST(GameTree, TheCurrentGameIsDerivedFromTheTree) {
    const std::string text = gamesOf("nested-variations.pgn").at(2);
    const GameTree    tree = treeOf(text);
    ASSERT_TRUE(parseGameText(text.c_str(), text.size()));
    const std::vector<GameNote> notes = gameAnnotations.notes;
    const std::string           record = recordOfCurrentGame();
    clearGame();
    loadCurrentGame(tree);
    EXPECT_EQ(recordOfCurrentGame(), record);
    ASSERT_EQ(gameAnnotations.notes.size(), notes.size());
    for (std::size_t i = 0; i < notes.size(); ++i) {
        EXPECT_EQ(gameAnnotations.notes[i].kind, notes[i].kind);
        EXPECT_EQ(gameAnnotations.notes[i].value, notes[i].value);
    }
    // And a game played on the board becomes a tree of its main line.
    const GameTree played = treeOfCurrentGame();
    EXPECT_EQ(mainLineMoves(played).size(), mainLineMoves(tree).size());
    EXPECT_TRUE(played.plain());
    EXPECT_EQ(writtenTags(played), writtenTags(tree));
}

TEST(GameTree, PathsLinesAndPositions) {
    const GameTree study = treeOf(gamesOf("study-annotated.pgn").at(0));
    struct Case { NodePath path; const char* san; const char* fen; };
    const Case cases[] = {
        {{0}, "e4", "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1"},
        {{1, 0, 1}, "Nf3", "rnbqkbnr/pp1ppppp/8/2p5/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 1 2"},
        {{1, 0, 1, 0, 0}, "c3", "rnbqkbnr/pp1ppppp/8/2p5/4P3/2P5/PP1P1PPP/RNBQKBNR b KQkq - 0 2"},
        {{1, 0, 1, 0, 1, 0, 1, 0, 0}, "Bd3",
         "rnbqkb1r/pp1ppppp/5n2/2p5/4P3/2PB4/PP1P1PPP/RNBQK1NR b KQkq - 2 3"},
    };
    for (const Case& c : cases) {
        const MoveNode* node = nodeAt(study, c.path);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->san, c.san);
        Board position;
        ASSERT_TRUE(positionAt(study, c.path, position));
        // The placement, side, castling and en-passant fields (the counters are the game's).
        const Board shown = board;
        board             = position;
        char fen[128];
        boardToText(fen, sizeof fen);
        board = shown;
        const std::string expected(c.fen);
        EXPECT_EQ(std::string(fen).substr(0, expected.rfind(' ', expected.rfind(' ') - 1)),
                  expected.substr(0, expected.rfind(' ', expected.rfind(' ') - 1)));
    }
    for (const NodePath& nowhere : {NodePath{99}, NodePath{1, 5, 0}, NodePath{1, 0}, NodePath{-1}}) {
        EXPECT_EQ(nodeAt(study, nowhere), nullptr);
        Board unused;
        EXPECT_FALSE(positionAt(study, nowhere, unused));
        EXPECT_TRUE(lineTo(study, nowhere).empty());
    }
    Board start;
    ASSERT_TRUE(positionAt(study, {}, start));
    EXPECT_EQ(mainLineMoves(study).size(), 12u);
}

// The written game against a reference reader: pgn-extract reads the same moves, glyphs,
// comments and side lines in our text as in the original.
TEST(GameTree, PgnExtractReadsTheWrittenGameAsTheOriginal) {
    const std::string program = pgnExtract();
    if (program.empty()) GTEST_SKIP() << "pgn-extract is not installed";
    int compared = 0;
    for (const char* name : AnnotatedFixtures) {
        int index = 0;
        for (const std::string& text : gamesOf(name)) {
            SCOPED_TRACE(std::string(name) + " game " + std::to_string(index++));
            bool           ok   = false;
            const GameTree tree = treeOf(text, &ok);
            if (!ok) continue;
            const std::string original = movetextByPgnExtract(program, text);
            // A game pgn-extract does not read: it stops at a side line without moves, a null
            // move, a "%" line inside a game.
            if (original.empty()) continue;
            EXPECT_EQ(movetextByPgnExtract(program, writeGameTree(tree)), original);
            ++compared;
        }
    }
    EXPECT_GE(compared, 16);
}

// The main line and where its comments stand, against chess.js's reading of the originals
// (tests/data/annotated-chessjs.txt, written by tests/differential/gametree-chessjs.sh, which
// also checks that chess.js reads the written games as the originals).
TEST(GameTree, MainLinesAndCommentsAsChessJsReadsThem) {
    std::ifstream lines(testData("annotated-chessjs.txt"));
    ASSERT_TRUE(lines.good());
    int compared = 0;
    for (std::string line; std::getline(lines, line);) {
        SCOPED_TRACE(line);
        std::istringstream fields(line);
        std::string        name, number, sans, plies;
        ASSERT_TRUE(std::getline(fields, name, '\t') && std::getline(fields, number, '\t') &&
                    std::getline(fields, sans, '\t'));
        std::getline(fields, plies);
        bool           ok   = false;
        const GameTree tree = treeOf(gamesOf(name.c_str()).at(std::stoul(number)), &ok);
        ASSERT_TRUE(ok);
        std::string ours, ourPlies;
        const auto& moves = tree.mainLine.moves;
        for (const MoveNode& node : moves) {
            if (!ours.empty()) ours += ' ';
            ours += node.san;
        }
        for (std::size_t ply = 0; ply <= moves.size(); ++ply) {
            const bool before = ply < moves.size() && !moves[ply].commentsBefore.empty();
            const bool after  = ply > 0 && !moves[ply - 1].commentsAfter.empty();
            if (before || after || (ply == 0 && !tree.comments.empty())) {
                if (!ourPlies.empty()) ourPlies += ' ';
                ourPlies += std::to_string(ply);
            }
        }
        EXPECT_EQ(ours, sans);
        EXPECT_EQ(ourPlies, plies);
        ++compared;
    }
    EXPECT_GE(compared, 14);
}
