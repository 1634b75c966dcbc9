#include "engine/timemanager.h"

#include <algorithm>

ClockBudget clockBudget(std::int64_t timeLeftMs, std::int64_t incrementMs, int movesToGo) {
    const std::int64_t left      = std::max<std::int64_t>(0, timeLeftMs);
    const std::int64_t increment = std::max<std::int64_t>(0, incrementMs);
    const std::int64_t moves     = movesToGo > 0 ? std::min(movesToGo, DefaultMovesToGo) : DefaultMovesToGo;
    const std::int64_t margin    = std::max(ClockMarginMs, left * ClockMarginPercent / 100);
    const std::int64_t most      = std::max<std::int64_t>(1, left - margin);
    // The last move before a control may use what is left; otherwise keep a reserve: no
    // move takes more than a third of the clock, the increment aside.
    const std::int64_t aim   = left / moves + increment * 3 / 4;
    const std::int64_t cap   = moves == 1 ? most : std::min(most, left / 3 + increment * 3 / 4);
    const std::int64_t hard  = std::clamp<std::int64_t>(aim * 2, 1, std::max<std::int64_t>(1, cap));
    const std::int64_t soft  = std::max<std::int64_t>(1, std::min(hard, aim / 2));
    return {hard, soft};
}
