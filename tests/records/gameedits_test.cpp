// Edits of a game tree, each done, undone and redone: the tree before and after (compared as
// written text), and whether the game counts as modified.
#include <gtest/gtest.h>

#include <functional>

#include "engine/boardkeeper.h"
#include "records/gameedits.h"
#include "records/gametreewrite.h"
#include "records/pgnread.h"
#include "records/san.h"
#include "records_fixture.h"

namespace {

const char* const Game = "[Event \"E\"]\n\n1. e4 e5 (1... c5 2. Nf3 (2. c3) d6) 2. Nf3 Nc6 3. Bb5 $1 $146 *\n";
// Paths into Game: 1.e4 {0}, 1...e5 {1}, 2.Nf3 {2}, 2...Nc6 {3}, 3.Bb5 {4}; the side line
// 1...c5 {1,0,0}, 2.Nf3 {1,0,1}, 2...d6 {1,0,2}; in it 2.c3 {1,0,1,0,0}.

GameTree loaded() {
    GameTree tree;
    EXPECT_TRUE(parseGameTree(Game, std::strlen(Game), tree));
    return tree;
}

// The movetext as one line.
std::string movetext(const GameTree& tree) {
    std::string text = writeGameTree(tree);
    text             = text.substr(text.find("\n\n") + 2);
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

// The moves of sans from the position after the move at path.
std::vector<Move> movesAfter(const GameTree& tree, const NodePath& path, std::vector<std::string> sans) {
    std::vector<Move> moves;
    Board             position;
    EXPECT_TRUE(positionAt(tree, path, position));
    BoardKeeper keeper;
    board = position;
    for (const std::string& san : sans) {
        Move move{};
        EXPECT_TRUE(sanToMove(san.c_str(), static_cast<int>(san.size()) - 1, &move)) << san;
        moves.push_back(move);
        makeMove(move);
    }
    return moves;
}

} // namespace

TEST(GameEdits, EachEditUndoneAndRedone) {
    const GameTree start = loaded();
    struct Case {
        const char*                          what;
        std::function<bool(GameEditHistory&)> edit;
        const char*                          after; // found in the movetext after the edit
    };
    const Case cases[] = {
        {"a side line at a move",
         [&](GameEditHistory& h) { return h.addLine({1}, movesAfter(start, {1}, {"Bc4", "Nf6"})); },
         "2.Nf3 (2.Bc4 Nf6) 2...Nc6"},
        {"the main line continued at its end",
         [&](GameEditHistory& h) { return h.addLine({4}, movesAfter(start, {4}, {"a6", "Ba4"})); },
         "3.Bb5 $1 $146 a6 4.Ba4 *"},
        {"moves the game has are followed, the first new one branches",
         [&](GameEditHistory& h) { return h.addLine({0}, movesAfter(start, {0}, {"c5", "Nf3", "Nc6"})); },
         "(2.c3) 2...d6 (2...Nc6)) 2.Nf3"},
        {"a side line promoted to the main line",
         [](GameEditHistory& h) { return h.promoteLine({1, 0, 1}, true); },
         "1.e4 c5 (1...e5 2.Nf3 Nc6 3.Bb5 $1 $146) 2.Nf3 (2.c3) 2...d6 *"},
        {"a side line promoted one level",
         [](GameEditHistory& h) { return h.promoteLine({1, 0, 1, 0, 0}, false); },
         "(1...c5 2.c3 (2.Nf3 d6)) 2.Nf3"},
        {"a side line deleted", [](GameEditHistory& h) { return h.deleteLine({1, 0, 1, 0, 0}); },
         "(1...c5 2.Nf3 d6) 2.Nf3"},
        {"the moves from a move deleted", [](GameEditHistory& h) { return h.deleteFrom({3}); },
         "2.Nf3 *"},
        {"a side line deleted from its first move", [](GameEditHistory& h) { return h.deleteFrom({1, 0, 0}); },
         "1.e4 e5 2.Nf3"},
        {"the comment after a move",
         [](GameEditHistory& h) { return h.setComment({2}, CommentPlace::After, "a plan [%cal Gf3e5]"); },
         "2.Nf3 {a plan [%cal Gf3e5]} 2...Nc6"},
        {"the comment before a side line's first move",
         [](GameEditHistory& h) { return h.setComment({1, 0, 0}, CommentPlace::Before, "the Sicilian"); },
         "({the Sicilian} 1...c5"},
        {"a mark", [](GameEditHistory& h) { return h.setMark({2}, 3); }, "2.Nf3 $3 Nc6"},
        {"a mark in place of another, the other glyphs kept", [](GameEditHistory& h) { return h.setMark({4}, 4); },
         "3.Bb5 $4 $146 *"},
        {"no mark, the other glyphs kept", [](GameEditHistory& h) { return h.setMark({4}, NoMark); },
         "3.Bb5 $146 *"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GameEditHistory history(start);
        const std::string before = movetext(history.tree());
        ASSERT_TRUE(c.edit(history));
        const std::string after = movetext(history.tree());
        EXPECT_NE(after.find(c.after), std::string::npos) << after;
        EXPECT_TRUE(history.modified());
        ASSERT_TRUE(history.undo());
        EXPECT_EQ(movetext(history.tree()), before);
        EXPECT_FALSE(history.modified());
        EXPECT_FALSE(history.undo());
        ASSERT_TRUE(history.redo());
        EXPECT_EQ(movetext(history.tree()), after);
        EXPECT_FALSE(history.redo());
        // The edited tree reads back as itself.
        GameTree back;
        ASSERT_TRUE(parseGameTree(writeGameTree(history.tree()).c_str(), std::string::npos, back));
        EXPECT_TRUE(sameGame(back, history.tree()));
    }
}

TEST(GameEdits, EditsThatCannotBeDoneChangeNothing) {
    const GameTree start = loaded();
    struct Case {
        const char*                          what;
        std::function<bool(GameEditHistory&)> edit;
    };
    const Case cases[] = {
        {"an illegal move", [&](GameEditHistory& h) { return h.addLine({1}, movesAfter(start, {0}, {"d5"})); }},
        {"no moves", [](GameEditHistory& h) { return h.addLine({1}, {}); }},
        {"a path that leads nowhere", [](GameEditHistory& h) { return h.setMark({9}, 1); }},
        {"a main-line move promoted", [](GameEditHistory& h) { return h.promoteLine({2}, true); }},
        {"a main-line move's line deleted", [](GameEditHistory& h) { return h.deleteLine({2}); }},
        {"a comment with a closing brace",
         [](GameEditHistory& h) { return h.setComment({2}, CommentPlace::After, "a } b"); }},
        {"a mark beyond the six", [](GameEditHistory& h) { return h.setMark({2}, 7); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GameEditHistory history(start);
        EXPECT_FALSE(c.edit(history));
        EXPECT_FALSE(history.canUndo());
        EXPECT_FALSE(history.modified());
        EXPECT_EQ(movetext(history.tree()), movetext(start));
    }
    // An edit that changes nothing is no edit: following the game's own moves.
    GameEditHistory history(start);
    EXPECT_TRUE(history.addLine({0}, movesAfter(start, {0}, {"e5", "Nf3"})));
    EXPECT_FALSE(history.canUndo());
}

TEST(GameEdits, UndoBackToTheLoadedGameAndTheSavedPoint) {
    GameEditHistory history(loaded());
    const std::string loadedText = movetext(history.tree());
    ASSERT_TRUE(history.setMark({2}, 1));
    ASSERT_TRUE(history.setComment({2}, CommentPlace::After, "saved here"));
    history.markSaved();
    EXPECT_FALSE(history.modified());
    ASSERT_TRUE(history.deleteFrom({3}));
    EXPECT_TRUE(history.modified());
    ASSERT_TRUE(history.undo());
    EXPECT_FALSE(history.modified());
    ASSERT_TRUE(history.undo());
    EXPECT_TRUE(history.modified()); // before the saved point
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(movetext(history.tree()), loadedText);
    EXPECT_FALSE(history.undo());
    // A new edit after undoing past the saved point: that point is gone for good.
    ASSERT_TRUE(history.setMark({4}, 2));
    EXPECT_FALSE(history.canRedo());
    EXPECT_TRUE(history.modified());
    ASSERT_TRUE(history.undo());
    EXPECT_TRUE(history.modified());
    history.load(loaded());
    EXPECT_FALSE(history.modified());
    EXPECT_FALSE(history.canUndo());
}
