// How much of a game clock the engine spends on one move.
#pragma once

#include <cstdint>

// Moves a clock is shared over when the controller does not say how many remain.
inline constexpr int DefaultMovesToGo = 30;
// What the engine always leaves on its clock: the larger of this and ClockMarginPercent of
// the time left, for the time its answer takes to reach the controller.
inline constexpr std::int64_t ClockMarginMs      = 50;
inline constexpr int          ClockMarginPercent = 5;

// The two limits of ThinkLimits for one move.
struct ClockBudget {
    std::int64_t hardLimitMs;  // never more than the time left less the margin; at least 1
    std::int64_t softLimitMs;  // at most hardLimitMs
};

// The budget of a move with timeLeftMs on the engine's clock (0 or less: move at once),
// incrementMs added after the move, and movesToGo moves to the next time control (0 or less:
// unknown, DefaultMovesToGo). The aim is a share of the time left plus three quarters of the
// increment; an iteration may run on to twice the aim, and no new one starts past half of it.
ClockBudget clockBudget(std::int64_t timeLeftMs, std::int64_t incrementMs, int movesToGo);
