// A game clock of two sides: each starts with its base time and gains its increment after each
// of its moves; the side to move's clock runs. The clock has no time source of its own: every
// call is given the time now, in milliseconds of a monotonic clock (the desktop's timer, or a
// test's hand), so that it can be driven without waiting.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/board.h"

// One side's control: base time and the increment added after each of its moves.
struct SideTimeControl {
    std::int64_t baseMs      = 0;
    std::int64_t incrementMs = 0;
    bool operator==(const SideTimeControl&) const = default;
};

// The time control of a game; no base time for either side means no clock at all.
struct TimeControl {
    SideTimeControl side[2];  // [White], [Black]

    bool isSet() const { return side[White].baseMs > 0 || side[Black].baseMs > 0; }
    bool isEven() const { return side[White] == side[Black]; }
    // The same control for both sides: minutes plus seconds added per move.
    static TimeControl even(int minutes, int incrementSeconds);
};

// The tags a game record carries for control. The same control for both sides is one
// TimeControl tag in seconds, "300+5" (or "300" without increment). Controls that differ have
// no standard form: TimeControl is "?" (unknown) and WhiteTimeControl and BlackTimeControl
// carry each side's, in the same form, so that no reader takes one side's control for the game's.
// No clock: no tags.
std::vector<std::pair<std::string, std::string>> timeControlTags(const TimeControl& control);
// One side's control in the tag's form: "300+5", or "300".
std::string sideControlText(const SideTimeControl& control);

// The time a clock shows: "m:ss" (4:05), with tenths under ten seconds ("0:09.3"), and "h:mm:ss"
// from an hour on (1:02:03). Time is cut, not rounded, as a clock counts down; below zero is 0.
std::string clockText(std::int64_t ms);
// The time after a move as a move comment's command: "[%clk 0:04:58]" (whole seconds, cut).
std::string clockCommand(std::int64_t ms);

class GameClock {
public:
    GameClock() = default;
    explicit GameClock(const TimeControl& control) { reset(control); }

    // Both clocks back to their base time, stopped, nobody's running, no flag.
    void reset(const TimeControl& control);
    const TimeControl& control() const { return m_control; }

    // side's clock starts running at nowMs.
    void start(int side, std::int64_t nowMs);
    // The running side has moved at nowMs: its time is charged, its increment added unless
    // its flag fell first (then its time stays at 0 and answers false), and the other side's
    // clock runs. Nothing (true) when no clock runs.
    bool press(std::int64_t nowMs);
    // The running clock stops at nowMs (the game ended, or was left); its time is charged.
    void stop(std::int64_t nowMs);

    // The side whose clock runs, or -1.
    int running() const { return m_running; }
    // side's time left at nowMs; 0 at the least.
    std::int64_t remaining(int side, std::int64_t nowMs) const;
    // The side whose flag has fallen by nowMs (its time is used up), or -1.
    int flagFallen(std::int64_t nowMs) const;
    // Milliseconds from nowMs to the running side's flag fall; -1 when nothing runs.
    std::int64_t untilFlag(std::int64_t nowMs) const;

private:
    TimeControl  m_control;
    std::int64_t m_left[2]  = {0, 0};  // time left at the last start or press
    std::int64_t m_sinceMs  = 0;       // when the running clock last started
    int          m_running  = -1;
    int          m_flag     = -1;      // a side whose flag fell at a press or stop
};

// Who wins when side's flag falls in the position b: the other side, or nobody (-1, a draw)
// when the other side could not mate by any sequence of legal moves.
int flagFallWinner(const Board& b, int side);
