// The evaluation graph's points: the [%eval], [%clk] and TimeControl readers on tables of good
// and broken text, a real annotated game's points, and a game whose clocks have gaps.
#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "records/pgnread.h"
#include "review/expectedscore.h"
#include "review/graphpoints.h"
#include "review/reviewer.h"

namespace {

std::string fileText(const char* name) {
    std::ifstream     file(std::string(NORVANE_TEST_DATA) + "/" + name);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<GraphPoint> pointsOf(const std::string& pgn) {
    EXPECT_TRUE(parseGameText(pgn.c_str(), pgn.size()));
    return graphPoints(currentGameGraphInput());
}

TEST(GraphPoints, EvalCommands) {
    const struct {
        const char*    comment;
        bool           read;
        UciScore::Kind kind;
        int            value;
    } cases[] = {
        {"[%eval 0.31]", true, UciScore::Centipawns, 31},
        {"(0.39 → -4.17) Blunder. [%eval -4.17] [%clk 0:04:55]", true, UciScore::Centipawns, -417},
        {"[%clk 0:01:00] [%eval +1.5]", true, UciScore::Centipawns, 150},
        {"[%eval 10.2]", true, UciScore::Centipawns, 1020},
        {"[%eval 0.31,18]", true, UciScore::Centipawns, 31},
        {"[%eval #3]", true, UciScore::Mate, 3},
        {"[%eval #-2]", true, UciScore::Mate, -2},
        {"[%eval  0.0 ]", true, UciScore::Centipawns, 0},
        {"[%eval 0.5] [%eval 9.9]", true, UciScore::Centipawns, 50}, // the first counts
        {"", false, {}, 0},
        {"no command at all", false, {}, 0},
        {"[%eval]", false, {}, 0},
        {"[%eval ]", false, {}, 0},
        {"[%eval abc]", false, {}, 0},
        {"[%eval 1.2.3]", false, {}, 0},
        {"[%eval 1.]", false, {}, 0},
        {"[%eval .5]", false, {}, 0},
        {"[%eval 1e5]", false, {}, 0},
        {"[%eval #]", false, {}, 0},
        {"[%eval #0]", false, {}, 0},
        {"[%eval #2.5]", false, {}, 0},
        {"[%eval 0.31,]", false, {}, 0},
        {"[%eval 0.31", false, {}, 0},
        {"[%evaluation 0.31]", false, {}, 0},
        {"[%eval 99999999999999999999]", false, {}, 0},
    };
    for (const auto& c : cases) {
        const std::optional<UciScore> score = readEvalCommand(c.comment);
        ASSERT_EQ(score.has_value(), c.read) << c.comment;
        if (!score) continue;
        EXPECT_EQ(score->kind, c.kind) << c.comment;
        EXPECT_EQ(score->value, c.value) << c.comment;
    }
}

TEST(GraphPoints, ClockCommandsAndTimeControls) {
    const struct {
        const char*           comment;
        std::optional<double> seconds;
    } clocks[] = {
        {"[%clk 0:05:00]", 300},
        {"[%eval 0.2] [%clk 1:02:03.5]", 3723.5},
        {"[%clk 5:07]", 307},
        {"[%clk 0:00:00]", 0},
        {"[%clk 0:5:00]", std::nullopt},
        {"[%clk 0:05:60]", std::nullopt},
        {"[%clk 0:05:00x]", std::nullopt},
        {"[%clk 300]", std::nullopt},
        {"[%clk 1:2:3:4]", std::nullopt},
        {"[%clk 0:05:00.]", std::nullopt},
        {"[%clk -0:05:00]", std::nullopt},
        {"[%clk]", std::nullopt},
        {"[%clock 0:05:00]", std::nullopt},
    };
    for (const auto& c : clocks) {
        const std::optional<double> seconds = readClockCommand(c.comment);
        ASSERT_EQ(seconds.has_value(), c.seconds.has_value()) << c.comment;
        if (seconds) {
            EXPECT_DOUBLE_EQ(*seconds, *c.seconds) << c.comment;
        }
    }

    const struct {
        const char*           tag;
        std::optional<double> base;
        double                increment;
    } controls[] = {
        {"300+3", 300, 3},           {"600", 600, 0},
        {"180+0.5", 180, 0.5},       {"40/7200:3600", 7200, 0},
        {"-", std::nullopt, 0},      {"?", std::nullopt, 0},
        {"*180", std::nullopt, 0},   {"", std::nullopt, 0},
        {"300+", std::nullopt, 0},   {"abc+3", std::nullopt, 0},
        {"x/7200", std::nullopt, 0},
    };
    for (const auto& c : controls) {
        const ClockControl control = readTimeControl(c.tag);
        ASSERT_EQ(control.baseSeconds.has_value(), c.base.has_value()) << c.tag;
        if (control.baseSeconds) {
            EXPECT_DOUBLE_EQ(*control.baseSeconds, *c.base) << c.tag;
        }
        EXPECT_DOUBLE_EQ(control.incrementSeconds, c.increment) << c.tag;
    }
}

// A blitz game (300+3) with an evaluation and a clock after every move but the mating one,
// which has its clock only, and marks as glyphs.
TEST(GraphPoints, AnnotatedGameWithEvalsAndClocks) {
    const std::vector<GraphPoint> points = pointsOf(fileText("lichess-annotated.pgn"));
    ASSERT_EQ(points.size(), 41u);
    const struct {
        int                   ply;
        bool                  whiteMoved;
        std::optional<int>    centipawns; // the evaluation; none for a mate or no evaluation
        MoveMark              mark;
        std::optional<double> seconds;
    } cases[] = {
        {0, true, 24, MoveMark::None, 3},             // 1. e4 at 5:00, from the base
        {1, false, 32, MoveMark::None, 3},            // 1... c5 at 5:00, from the base
        {2, true, 0, MoveMark::None, 2},              // 2. Nf3 at 5:01
        {7, false, 39, MoveMark::Inaccuracy, 1},      // 4... Bg7?! 5:03 -> 5:05
        {8, true, -417, MoveMark::Blunder, 5},        // 5. dxc5?? 4:57 -> 4:55
        {14, true, -23, MoveMark::Mistake, 10},       // 8. Bxc6? 4:18 -> 4:11
        {40, true, std::nullopt, MoveMark::None, 13}, // 21. g4# 0:56 -> 0:46, no evaluation
    };
    for (const auto& c : cases) {
        const GraphPoint& point = points[static_cast<std::size_t>(c.ply)];
        EXPECT_EQ(point.whiteMoved, c.whiteMoved) << c.ply;
        EXPECT_EQ(point.mark, c.mark) << c.ply;
        ASSERT_EQ(point.moveSeconds.has_value(), c.seconds.has_value()) << c.ply;
        if (c.seconds) {
            EXPECT_DOUBLE_EQ(*point.moveSeconds, *c.seconds) << c.ply;
        }
        ASSERT_EQ(point.whiteEval.has_value(), c.centipawns.has_value()) << c.ply;
        if (!c.centipawns) continue;
        EXPECT_EQ(point.whiteEval->value, *c.centipawns) << c.ply;
        EXPECT_DOUBLE_EQ(*point.whiteScore, expectedScore(*point.whiteEval)) << c.ply;
    }
    // 20... f6? lets White mate in one: White's expected score is all of it.
    ASSERT_TRUE(points[39].whiteEval);
    EXPECT_EQ(points[39].whiteEval->kind, UciScore::Mate);
    EXPECT_EQ(*points[39].whiteScore, 1.0);
    EXPECT_FALSE(points[40].whiteScore);
}

// Black moves first (a set-up position), the game has no TimeControl, and its clocks have
// a missing and a broken command, and time added back: each gap leaves its moves without a
// time, never a wrong one.
TEST(GraphPoints, GapsInTheClocks) {
    const std::vector<GraphPoint> points =
        pointsOf("[Event \"?\"]\n[FEN \"4k3/8/8/8/8/8/4P3/4K3 b - - 0 1\"]\n[SetUp \"1\"]\n\n"
                 "1... Kd7 {[%clk 0:10:00] [%eval 0.5]} 2. Kd2 {[%clk 0:09:50]} "
                 "2... Kd6 {[%clk 0:09:40] [%eval junk]} 3. Kd3 {no clock} "
                 "3... Kd5 {[%clk 0:09:3]} 4. e4+ {[%clk 0:09:20] [%eval #4]} "
                 "4... Kc5 {[%clk 0:09:30]} 5. Ke3 {[%clk 0:09:25]} 5... Kc4 {[%clk 0:09:31]} *\n");
    ASSERT_EQ(points.size(), 9u);
    const std::optional<double> seconds[] = {
        std::nullopt, // Black's first move: no base to measure from
        std::nullopt, // White's first move
        20,           // 10:00 -> 9:40
        std::nullopt, // no clock
        std::nullopt, // a broken clock
        std::nullopt, // White's last clock was missing
        std::nullopt, // Black's last clock was broken
        std::nullopt, // 9:20 -> 9:25: time was added, not taken
        std::nullopt, // 9:30 -> 9:31
    };
    for (std::size_t k = 0; k < points.size(); ++k) {
        EXPECT_EQ(points[k].whiteMoved, k % 2 == 1) << k;
        EXPECT_EQ(points[k].moveSeconds.has_value(), seconds[k].has_value()) << k;
        if (points[k].moveSeconds && seconds[k]) {
            EXPECT_DOUBLE_EQ(*points[k].moveSeconds, *seconds[k]) << k;
        }
    }
    EXPECT_TRUE(points[0].whiteScore);
    EXPECT_FALSE(points[2].whiteScore); // [%eval junk]
    ASSERT_TRUE(points[5].whiteEval);
    EXPECT_EQ(points[5].whiteEval->kind, UciScore::Mate);
    EXPECT_EQ(points[5].whiteEval->value, 4);
    EXPECT_TRUE(points[7].clockSeconds);
}

// A review's move replaces what the comments said, turned to White's side.
TEST(GraphPoints, ReviewedMovesOverrideTheComments) {
    std::vector<GraphPoint> points = pointsOf(fileText("lichess-annotated.pgn"));
    ReviewedMove            black;
    black.ply            = 7;
    black.scores.played  = UciScore{UciScore::Mate, 2}; // Black mates in two
    black.judgement.mark = MoveMark::Good;
    applyReviewedMove(points, black);
    ReviewedMove white;
    white.ply           = 8;
    white.scores.played = UciScore{UciScore::Centipawns, 120};
    applyReviewedMove(points, white);
    ReviewedMove past;
    past.ply = 41;
    applyReviewedMove(points, past); // nothing: there is no such move

    EXPECT_EQ(points[7].whiteEval->kind, UciScore::Mate);
    EXPECT_EQ(points[7].whiteEval->value, -2);
    EXPECT_EQ(*points[7].whiteScore, 0.0);
    EXPECT_EQ(points[7].mark, MoveMark::Good);
    EXPECT_EQ(points[8].whiteEval->value, 120);
    EXPECT_EQ(points[8].mark, MoveMark::None);
    EXPECT_DOUBLE_EQ(*points[8].moveSeconds, 5); // the clocks stay
}

} // namespace
