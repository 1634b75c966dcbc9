// review/graphpoints: what the evaluation graph draws for each move of a game's main line:
// White's expected score after the move, the move's mark and the time the move took. The
// scores and marks come from a review where there is one, else from the game itself: the
// [%eval 0.31] / [%eval #-3] commands of its comments (from White's side, in pawns) and its
// glyphs. The times come from the [%clk h:mm:ss] commands: the difference of the mover's
// successive clocks, plus the increment the TimeControl tag gives; a side's first move is
// measured from the tag's base time, and is left without a time when there is none.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "review/judge.h"
#include "uci/ucimessages.h"

struct ReviewedMove;

// The first [%eval ...] command of a comment as a score from White's side: "0.31" is 31
// centipawns, "#3" White mates in 3, "#-2" Black mates in 2; a depth after a comma ("0.31,18")
// is allowed and dropped. None when there is no such command or it cannot be read.
std::optional<UciScore> readEvalCommand(std::string_view comment);

// The first [%clk ...] command of a comment, h:mm:ss or m:ss with an optional fraction of a
// second, in seconds. None when there is none or it cannot be read.
std::optional<double> readClockCommand(std::string_view comment);

// A TimeControl tag's value: "300+3" (base and increment in seconds), "300", or periods
// "40/7200:3600" (the first period's time is the base, no increment). "-", "?", a sandglass
// "*180" or anything unreadable give neither.
struct ClockControl {
    std::optional<double> baseSeconds;
    double                incrementSeconds = 0;
};
ClockControl readTimeControl(std::string_view value);

// One move of the main line as the game holds it: its comments' text (joined by spaces) and
// its glyphs ($1, $2 ... as numbers).
struct MoveNotes {
    std::string      comments;
    std::vector<int> glyphs;
};

struct GraphInput {
    bool                   whiteMovesFirst = true;
    std::vector<MoveNotes> moves;       // one per move of the main line, in order
    std::string            timeControl; // the TimeControl tag's value; empty without one
};

// What the graph draws for one move (index 0 the game's first move).
struct GraphPoint {
    bool                    whiteMoved = true;
    std::optional<UciScore> whiteEval;  // the evaluation after the move, from White's side
    std::optional<double>   whiteScore; // White's expected score after the move, 0 to 1
    MoveMark                mark = MoveMark::None;
    std::optional<double>   clockSeconds; // the mover's clock after the move
    std::optional<double>   moveSeconds;  // how long the move took
};

// The points of a game from its own comments and glyphs: ?! (6), ? (2), ?? (4), ! (1) and !!
// (3) are its marks; other glyphs are none.
std::vector<GraphPoint> graphPoints(const GraphInput& input);

// A reviewed move's evaluation and mark in place of what the game's comments said. Nothing
// when its ply is past the points.
void applyReviewedMove(std::vector<GraphPoint>& points, const ReviewedMove& move);

// The current game's main line (records/game.h, records/annotations.h) as the graph's input.
GraphInput currentGameGraphInput();
