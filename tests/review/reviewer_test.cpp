// The review of games whose mistakes are known, by the built-in engine under a node budget (so
// that the results do not depend on the machine): the marks, the same review on any number of
// threads, the marks reported as they come, cancel, and an engine that fails.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "engine/makemove.h"
#include "records/pgnread.h"
#include "review/reviewer.h"

namespace {

// Small enough to keep the tests quick under the sanitizers, large enough to see each mistake.
constexpr long long FixtureNodes = 20000;

// The games of tests/data/review-mistakes.pgn, in order: a hung queen, a missed mate in two,
// an allowed mate, a quiet inaccuracy.
std::vector<ReviewGameInput> fixtureGames() {
    std::ifstream     file(std::string(NORVANE_TEST_DATA) + "/review-mistakes.pgn");
    std::stringstream text;
    text << file.rdbuf();
    const std::string            all = text.str();
    std::vector<ReviewGameInput> games;
    for (std::size_t start = 0; start < all.size();) {
        std::size_t next       = all.find("\n[Event ", start);
        next                   = next == std::string::npos ? all.size() : next + 1;
        const std::string game = all.substr(start, next - start);
        EXPECT_TRUE(parseGameText(game.c_str(), game.size()));
        games.emplace_back();
        EXPECT_TRUE(currentGameForReview(games.back()));
        start = next;
    }
    return games;
}

ReviewSettings builtInSettings(int threads) {
    ReviewSettings settings;
    settings.engine.program = NORVANE_CLI;
    settings.engine.args    = {"uci"};
    settings.engine.title   = "the built-in engine";
    settings.limits.nodes   = FixtureNodes;
    settings.searchWaitMs   = 120000;
    settings.threads        = threads;
    return settings;
}

GameReview review(const ReviewGameInput& game, int threads) {
    GameReview  out;
    std::string error;
    EXPECT_EQ(reviewGame(game, builtInSettings(threads), out, error), ReviewOutcome::Done) << error;
    return out;
}

TEST(Reviewer, KnownMistakesGetTheirMarks) {
    const std::vector<ReviewGameInput> games = fixtureGames();
    ASSERT_EQ(games.size(), 4u);
    const struct {
        std::size_t game;
        int         ply;
        MoveMark    least; // the mark is at least this
        MoveMark    most;  // ... and at most this
        const char* best;  // the engine's better move, when the test knows it
        const char* what;
    } cases[] = {
        {0, 4, MoveMark::Blunder, MoveMark::Blunder, nullptr, "3. Qxe5+ leaves the queen"},
        {1, 9, MoveMark::Blunder, MoveMark::Blunder, nullptr, "5...Bxd1 walks into a mate"},
        {1, 10, MoveMark::Mistake, MoveMark::Blunder, "c4f7", "6. Kxd1 misses Bxf7+ and Nd5#"},
        {2, 5, MoveMark::Blunder, MoveMark::Blunder, nullptr, "3...Nf6 allows Qxf7#"},
        {3, 5, MoveMark::Inaccuracy, MoveMark::Inaccuracy, nullptr, "3...Nd4 gives a pawn"},
    };
    std::vector<GameReview> reviews;
    for (const ReviewGameInput& game : games)
        reviews.push_back(review(game, 1));
    for (const auto& c : cases) {
        const ReviewedMove& move = reviews[c.game].moves[static_cast<std::size_t>(c.ply)];
        EXPECT_EQ(move.ply, c.ply) << c.what;
        EXPECT_GE(move.judgement.mark, c.least) << c.what;
        EXPECT_LE(move.judgement.mark, c.most) << c.what;
        if (move.judgement.mark >= MoveMark::Mistake) {
            EXPECT_FALSE(move.explanation.empty()) << c.what;
        }
        if (c.best) {
            const ReviewedPosition& before =
                reviews[c.game].positions[static_cast<std::size_t>(c.ply)];
            ASSERT_FALSE(before.bestLine.empty()) << c.what;
            EXPECT_EQ(before.bestLine.front(), c.best) << c.what;
        }
    }
    // Nothing else in those games is a mistake.
    for (std::size_t g = 0; g < reviews.size(); ++g)
        for (const ReviewedMove& move : reviews[g].moves) {
            bool known = false;
            for (const auto& c : cases)
                known = known || (c.game == g && c.ply == move.ply);
            if (!known) {
                EXPECT_LT(move.judgement.mark, MoveMark::Mistake)
                    << "game " << g << " ply " << move.ply;
            }
        }
    // The hung queen costs White a blunder in the figures, Black nothing.
    EXPECT_EQ(reviews[0].white.blunders, 1);
    EXPECT_EQ(reviews[0].black.blunders + reviews[0].black.mistakes, 0);
    EXPECT_GT(reviews[0].white.averageCpLoss, reviews[0].black.averageCpLoss);
    EXPECT_LT(reviews[0].white.accuracy, reviews[0].black.accuracy);
    // The mated side is not searched: mate 0, no line; the mating move keeps its mate.
    const ReviewedPosition& mated = reviews[2].positions.back();
    EXPECT_FALSE(mated.searched);
    EXPECT_EQ(mated.score.kind, UciScore::Mate);
    EXPECT_EQ(mated.score.value, 0);
    EXPECT_TRUE(mated.bestLine.empty());
    EXPECT_EQ(reviews[2].moves.back().scores.played.kind, UciScore::Mate);
}

TEST(Reviewer, ThreadsGiveTheSameReviewAndEveryMoveIsReportedOnce) {
    const ReviewGameInput game = fixtureGames()[1];
    const GameReview      one  = review(game, 1);

    std::mutex            mutex;
    std::vector<int>      reported(game.moves.size(), 0);
    std::vector<MoveMark> marks(game.moves.size());
    GameReview            three;
    std::string           error;
    const ReviewOutcome   outcome =
        reviewGame(game, builtInSettings(3), three, error, [&](const ReviewedMove& move) {
            const std::lock_guard lock(mutex);
            ++reported[static_cast<std::size_t>(move.ply)];
            marks[static_cast<std::size_t>(move.ply)] = move.judgement.mark;
        });
    ASSERT_EQ(outcome, ReviewOutcome::Done) << error;
    ASSERT_EQ(one.positions.size(), three.positions.size());
    for (std::size_t k = 0; k < one.positions.size(); ++k) {
        EXPECT_EQ(one.positions[k].score.kind, three.positions[k].score.kind) << k;
        EXPECT_EQ(one.positions[k].score.value, three.positions[k].score.value) << k;
        EXPECT_EQ(one.positions[k].bestLine, three.positions[k].bestLine) << k;
        EXPECT_EQ(one.positions[k].secondLine, three.positions[k].secondLine) << k;
    }
    for (std::size_t ply = 0; ply < game.moves.size(); ++ply) {
        EXPECT_EQ(reported[ply], 1) << ply;
        EXPECT_EQ(marks[ply], three.moves[ply].judgement.mark) << ply;
        EXPECT_EQ(one.moves[ply].explanation, three.moves[ply].explanation) << ply;
    }
}

TEST(Reviewer, CancelStopsTheEngines) {
    const ReviewGameInput game     = fixtureGames()[1];
    const ReviewSettings  settings = builtInSettings(2);
    std::atomic<bool>     cancel{false};
    std::atomic<int>      judged{0};
    GameReview            out;
    std::string           error;
    // Cancelled as the first move is judged: the searches under way are stopped, and no
    // position is taken up after them.
    const ReviewOutcome outcome = reviewGame(
        game, settings, out, error,
        [&](const ReviewedMove&) {
            ++judged;
            cancel = true;
        },
        &cancel);
    EXPECT_EQ(outcome, ReviewOutcome::Cancelled);
    EXPECT_LT(judged.load(), static_cast<int>(game.moves.size()));
}

TEST(Reviewer, AnEngineThatFailsIsOneError) {
    const ReviewGameInput game = fixtureGames()[0];
    const struct {
        const char*  program;
        const char*  words;
        UciErrorKind kind;
    } cases[] = {{"/nonexistent/engine", "cannot start engine X", UciErrorKind::StartFailed},
                 {"/bin/true", "engine X ended before answering uci", UciErrorKind::Exited}};
    for (const auto& c : cases) {
        ReviewSettings settings = builtInSettings(2);
        settings.engine.program = c.program;
        settings.engine.args    = {};
        settings.engine.title   = "engine X";
        GameReview  out;
        std::string error;
        EXPECT_EQ(reviewGame(game, settings, out, error), ReviewOutcome::Failed) << c.program;
        EXPECT_EQ(error.rfind(c.words, 0), 0u) << error;
        EXPECT_EQ(out.engineError.kind, c.kind) << c.program;
    }
}

} // namespace
