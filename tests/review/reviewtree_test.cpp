// A review written into the game's tree: marks as glyphs, evaluations as [%eval] in the comments
// (an existing one replaced, the rest of its comment kept), the explanation, the better line as a
// side line; one undoable edit; the saved text read back with its graph. The review is a made-up
// result, so that each value written is known.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/makemove.h"
#include "records/gameedits.h"
#include "records/gametreewrite.h"
#include "records/pgnread.h"
#include "review/annotatedpgn.h"
#include "review/graphpoints.h"

namespace {

// Plies: 0 e4, 1 e5, 2 Qh5, 3 Nc6, 4 Bc4, 5 Nf6, 6 Qxf7#.
const char* const ScholarsMate = "[Event \"x\"]\n[White \"a\"]\n[Black \"b\"]\n[Result \"1-0\"]\n\n"
                                 "1.e4 e5 2.Qh5 {[%eval 0.10] [%clk 0:05:00] nice} 2...Nc6 3.Bc4 $5 "
                                 "Nf6 $5 $14 4.Qxf7# 1-0\n";

const char* const Explanation = "Qxf7# で詰みます";

GameTree parsed(const std::string& text) {
    GameTree tree;
    EXPECT_TRUE(parseGameTree(text.c_str(), text.size(), tree));
    return tree;
}

ReviewGameInput inputOf(const GameTree& tree) {
    loadCurrentGame(tree);
    ReviewGameInput input;
    EXPECT_TRUE(currentGameForReview(input));
    return input;
}

// Every position searched up to searchedUpTo (the mated last one needs no search): White to move
// +0.20, Black to move -0.30 (White +0.30), after 3...Nf6 White mates in one. 2.Qh5 ?!, 3...Nf6 ??
// with its explanation and 3...g6 4.Qf3 Nf6 as the better line, the other moves unmarked.
GameReview madeUpReview(const ReviewGameInput& game, std::size_t searchedUpTo) {
    GameReview review;
    review.positions.resize(game.fens.size());
    review.moves.resize(game.moves.size());
    for (std::size_t k = 0; k < review.positions.size() && k <= searchedUpTo; ++k) {
        if (game.mateStatus[k] != HasLegalMove) continue;
        ReviewedPosition& position = review.positions[k];
        position.searched          = true;
        position.score             = UciScore{UciScore::Centipawns, k % 2 == 0 ? 20 : -30};
        position.bestLine          = {"a2a3"};
    }
    review.positions[5].bestLine = {"g7g6", "h5f3", "g8f6"};
    review.positions[6].score    = UciScore{UciScore::Mate, 1};
    for (std::size_t ply = 0; ply < review.moves.size(); ++ply)
        review.moves[ply].ply = static_cast<int>(ply);
    review.moves[2].judgement.mark = MoveMark::Inaccuracy;
    review.moves[5].judgement.mark = MoveMark::Blunder;
    review.moves[5].explanation    = Explanation;
    return review;
}

} // namespace

TEST(ReviewIntoTree, MarksEvalsExplanationAndBetterLine) {
    const GameTree        original = parsed(ScholarsMate);
    const ReviewGameInput game     = inputOf(original);
    ASSERT_EQ(game.moves.size(), 7u);
    GameTree tree = original;
    ASSERT_TRUE(writeReviewIntoTree(tree, game, madeUpReview(game, 99)));

    const std::vector<MoveNode>& moves = tree.mainLine.moves;
    const struct {
        std::size_t              ply;
        std::vector<int>         nags;
        std::vector<std::string> after;
    } cases[] = {
        {0, {}, {"[%eval 0.30]"}},
        {1, {}, {"[%eval 0.20]"}},
        // The eval replaced in place, the clock and the words kept.
        {2, {6}, {"[%eval 0.30] [%clk 0:05:00] nice"}},
        // The user's !? goes: the review judged the move unmarked.
        {4, {}, {"[%eval 0.30]"}},
        // ?? in place of !?, the other glyph kept.
        {5, {4, 14}, {std::string("[%eval #1] ") + Explanation}},
        // No evaluation after a checkmate.
        {6, {}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(moves[c.ply].nags, c.nags) << "ply " << c.ply;
        EXPECT_EQ(moves[c.ply].commentsAfter, c.after) << "ply " << c.ply;
    }
    ASSERT_EQ(moves[5].variations.size(), 1u);
    const std::vector<MoveNode>& side = moves[5].variations[0].moves;
    ASSERT_EQ(side.size(), 3u);
    EXPECT_EQ(side[0].san, "g6");
    EXPECT_EQ(side[1].san, "Qf3");
    EXPECT_EQ(side[2].san, "Nf6");
    // Only the mistakes get a side line.
    for (std::size_t ply = 0; ply < moves.size(); ++ply) {
        if (ply != 5) {
            EXPECT_TRUE(moves[ply].variations.empty()) << "ply " << ply;
        }
    }

    // Written again, nothing doubles: the explanation is there, the side line followed.
    GameTree again = tree;
    ASSERT_TRUE(writeReviewIntoTree(again, game, madeUpReview(game, 99)));
    EXPECT_TRUE(sameGame(again, tree));

    // One edit: undo gives the game back as it was, unmodified.
    GameEditHistory history(original);
    ASSERT_TRUE(history.replace(tree));
    EXPECT_TRUE(history.modified());
    ASSERT_TRUE(history.undo());
    EXPECT_TRUE(sameGame(history.tree(), original));
    EXPECT_FALSE(history.modified());
    ASSERT_TRUE(history.redo());
    EXPECT_TRUE(sameGame(history.tree(), tree));
}

TEST(ReviewIntoTree, SavedTextReadsBackWithItsGraph) {
    const GameTree        original = parsed(ScholarsMate);
    const ReviewGameInput game     = inputOf(original);
    GameTree              tree     = original;
    ASSERT_TRUE(writeReviewIntoTree(tree, game, madeUpReview(game, 99)));
    const std::string text = writeGameTree(tree);
    EXPECT_NE(text.find("3...Nf6 $4 $14 {[%eval #1] Qxf7# で詰みます} (3...g6 4.Qf3 Nf6)"), std::string::npos)
        << text;
    const GameTree reread = parsed(text);
    EXPECT_TRUE(sameGame(reread, tree));
    EXPECT_EQ(writeGameTree(reread), text);

    // The game loaded again draws its graph from its own comments and glyphs.
    loadCurrentGame(reread);
    const std::vector<GraphPoint> points = graphPoints(currentGameGraphInput());
    ASSERT_EQ(points.size(), 7u);
    ASSERT_TRUE(points[0].whiteEval);
    EXPECT_EQ(points[0].whiteEval->kind, UciScore::Centipawns);
    EXPECT_EQ(points[0].whiteEval->value, 30);
    ASSERT_TRUE(points[5].whiteEval);
    EXPECT_EQ(points[5].whiteEval->kind, UciScore::Mate);
    EXPECT_EQ(points[5].whiteEval->value, 1);
    EXPECT_EQ(points[2].mark, MoveMark::Inaccuracy);
    EXPECT_EQ(points[5].mark, MoveMark::Blunder);
}

TEST(ReviewIntoTree, CancelledReviewWritesWhatWasJudged) {
    const GameTree        original = parsed(ScholarsMate);
    const ReviewGameInput game     = inputOf(original);
    GameTree              tree     = original;
    // Positions 0 to 3 searched: moves 0 to 2 judged, the rest left as they were.
    ASSERT_TRUE(writeReviewIntoTree(tree, game, madeUpReview(game, 3)));
    EXPECT_EQ(tree.mainLine.moves[2].nags, std::vector<int>{6});
    for (std::size_t ply = 3; ply < 7; ++ply) {
        EXPECT_EQ(tree.mainLine.moves[ply].nags, original.mainLine.moves[ply].nags);
        EXPECT_EQ(tree.mainLine.moves[ply].commentsAfter, original.mainLine.moves[ply].commentsAfter);
        EXPECT_TRUE(tree.mainLine.moves[ply].variations.empty());
    }
}

TEST(ReviewIntoTree, AnotherGameIsLeftAlone) {
    const GameTree  original = parsed(ScholarsMate);
    ReviewGameInput game     = inputOf(original);
    const GameReview review  = madeUpReview(game, 99);
    game.moves[3]            = "b8a6";
    GameTree tree            = original;
    EXPECT_FALSE(writeReviewIntoTree(tree, game, review));
    EXPECT_TRUE(sameGame(tree, original));
}
