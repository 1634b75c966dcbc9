// The engine's share of a game clock.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/timemanager.h"

TEST(ClockBudget, StaysWithinTheClock) {
    struct Case { std::int64_t left, inc; int movesToGo; std::int64_t hardMin, hardMax; };
    // clang-format off
    const Case cases[] = {
        {180000, 2000,  0, 10000, 16000},   // 3+2 at the start: about 7.5 s aimed, twice at most
        {300000,    0,  0, 15000, 20000},   // 5+0
        {  1000,    0,  0,    30,   100},   // a second left: a few tens of ms
        {  1000, 5000,  0,     1,   950},   // a large increment never outruns the clock
        {    60,    0,  0,     1,    10},   // below the margin: move at once
        {     0,    0,  0,     1,     1},
        {   -20, 1000,  0,     1,     1},   // a clock already past zero
        { 10000,    0,  1,  9000,  9500},   // the last move before the control
        { 60000,    0, 10,  9000, 12000},   // movestogo shares among fewer moves
        {600000, 5000, 40, 40000, 48000},   // more than 30 to go counts as 30
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.left << "+" << c.inc << " movestogo " << c.movesToGo);
        const ClockBudget budget = clockBudget(c.left, c.inc, c.movesToGo);
        EXPECT_GE(budget.hardLimitMs, c.hardMin);
        EXPECT_LE(budget.hardLimitMs, c.hardMax);
        EXPECT_GE(budget.softLimitMs, 1);
        EXPECT_LE(budget.softLimitMs, budget.hardLimitMs);
        // Never the whole clock: the margin stays.
        const std::int64_t margin = std::max<std::int64_t>(ClockMarginMs, c.left * ClockMarginPercent / 100);
        EXPECT_LE(budget.hardLimitMs, std::max<std::int64_t>(1, c.left - margin));
    }
}

// More time left or more increment never gives less.
TEST(ClockBudget, GrowsWithTimeAndIncrement) {
    std::int64_t previous = 0;
    for (std::int64_t left = 0; left <= 3600000; left += 997) {
        const std::int64_t hard = clockBudget(left, 0, 0).hardLimitMs;
        EXPECT_GE(hard, previous) << left;
        previous = hard;
        EXPECT_GE(clockBudget(left, 3000, 0).hardLimitMs, hard) << left;
    }
}
