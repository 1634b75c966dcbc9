// The expected-score curve and the marks, on tables of scores.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "review/expectedscore.h"
#include "review/judge.h"

namespace {

UciScore cp(int value) { return UciScore{UciScore::Centipawns, value}; }
UciScore mate(int value) { return UciScore{UciScore::Mate, value}; }

TEST(ExpectedScore, CurveMatesAndTheMoversView) {
    EXPECT_DOUBLE_EQ(expectedScore(cp(0)), 0.5);
    EXPECT_NEAR(expectedScore(cp(100)), 0.591, 0.001);
    EXPECT_NEAR(expectedScore(cp(-300)), 1 - expectedScore(cp(300)), 1e-12);
    EXPECT_EQ(expectedScore(mate(3)), 1.0);
    EXPECT_EQ(expectedScore(mate(-2)), 0.0);
    EXPECT_EQ(expectedScore(mate(0)), 0.0);
    EXPECT_EQ(clippedCentipawns(cp(4000), 1000), 1000);
    EXPECT_EQ(clippedCentipawns(mate(-1), 1000), -1000);

    // After the move the opponent is to move: a mate on the board was a mate in 1.
    const struct {
        UciScore opponent, mover;
    } cases[] = {{cp(35), cp(-35)}, {mate(0), mate(1)}, {mate(-2), mate(3)}, {mate(4), mate(-4)}};
    for (const auto& c : cases) {
        const UciScore score = moverScore(c.opponent);
        EXPECT_EQ(score.kind, c.mover.kind);
        EXPECT_EQ(score.value, c.mover.value);
    }
}

TEST(Judge, MarksByDropMatesAndTheBestMove) {
    const struct {
        const char*             what;
        UciScore                best;
        std::optional<UciScore> second;
        UciScore                played;
        bool                    playedBest;
        MoveMark                mark;
    } cases[] = {
        {"a small loss", cp(30), {}, cp(10), false, MoveMark::None},
        {"an inaccuracy", cp(30), {}, cp(-40), false, MoveMark::Inaccuracy},
        {"a mistake", cp(50), {}, cp(-80), false, MoveMark::Mistake},
        {"a blunder: a hung queen", cp(40), {}, cp(-800), false, MoveMark::Blunder},
        {"a won game stays won", cp(1200), {}, cp(900), false, MoveMark::None},
        {"a missed mate, still winning", mate(2), {}, cp(900), false, MoveMark::Mistake},
        {"a missed mate for a draw", mate(2), {}, cp(0), false, MoveMark::Blunder},
        {"a longer mate kept", mate(2), {}, mate(5), false, MoveMark::None},
        {"into a mate from a small edge", cp(20), {}, mate(-3), false, MoveMark::Blunder},
        {"into a mate when lost anyway", cp(-2000), {}, mate(-6), false, MoveMark::Blunder},
        {"mated either way", mate(-3), {}, mate(-2), false, MoveMark::None},
        {"the only good move", cp(20), cp(-300), cp(20), true, MoveMark::Good},
        {"one of two good moves", cp(20), cp(0), cp(20), true, MoveMark::None},
        {"the best move, no second line", cp(20), {}, cp(20), true, MoveMark::None},
        {"the best move, a lower rescore", cp(20), cp(10), cp(-500), true, MoveMark::None},
    };
    for (const auto& c : cases) {
        const MoveJudgement judgement = judgeMove({c.best, c.second, c.played, c.playedBest});
        EXPECT_EQ(judgement.mark, c.mark) << c.what;
        EXPECT_GE(judgement.cpLoss, 0) << c.what;
        EXPECT_LE(judgement.cpLoss, CentipawnLossClip) << c.what;
    }
    EXPECT_EQ(judgeMove({cp(40), {}, cp(-800), false}).cpLoss, 840);
    EXPECT_EQ(judgeMove({mate(1), {}, cp(-5000), false}).cpLoss, CentipawnLossClip);
}

TEST(Judge, SideFiguresCountAverageAndAccuracy) {
    const SideFigures none = sideFigures({});
    EXPECT_EQ(none.moves, 0);
    EXPECT_EQ(none.accuracy, 100);

    const std::vector<MoveJudgement> moves   = {{MoveMark::None, 0, 0},
                                                {MoveMark::Inaccuracy, 0.06, 70},
                                                {MoveMark::Blunder, 0.5, 1000},
                                                {MoveMark::Good, 0, 0}};
    const SideFigures                figures = sideFigures(moves);
    EXPECT_EQ(figures.moves, 4);
    EXPECT_EQ(figures.good, 1);
    EXPECT_EQ(figures.inaccuracies, 1);
    EXPECT_EQ(figures.mistakes, 0);
    EXPECT_EQ(figures.blunders, 1);
    EXPECT_DOUBLE_EQ(figures.averageCpLoss, 267.5);
    EXPECT_NEAR(figures.accuracy, (100 + 100 * std::exp(-0.24) + 100 * std::exp(-2.0) + 100) / 4,
                1e-9);
    EXPECT_STREQ(markText(MoveMark::Mistake), "?");
    EXPECT_EQ(markNag(MoveMark::Inaccuracy), 6);
    EXPECT_EQ(markNag(MoveMark::Blunder), 4);
}

} // namespace
