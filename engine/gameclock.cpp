#include "engine/gameclock.h"

#include <algorithm>

#include "engine/drawrules.h"

namespace {

// Appends n with at least two digits.
void putTwoDigits(std::string& text, std::int64_t n) {
    if (n < 10) text += '0';
    text += std::to_string(n);
}

// "h:mm:ss" of whole seconds.
std::string hoursText(std::int64_t seconds) {
    std::string text = std::to_string(seconds / 3600) + ':';
    putTwoDigits(text, seconds / 60 % 60);
    text += ':';
    putTwoDigits(text, seconds % 60);
    return text;
}

}  // namespace

TimeControl TimeControl::even(int minutes, int incrementSeconds) {
    TimeControl control;
    control.side[White] = {std::int64_t{minutes} * 60000, std::int64_t{incrementSeconds} * 1000};
    control.side[Black] = control.side[White];
    return control;
}

std::string sideControlText(const SideTimeControl& control) {
    std::string text = std::to_string(control.baseMs / 1000);
    if (control.incrementMs > 0) text += '+' + std::to_string(control.incrementMs / 1000);
    return text;
}

std::vector<std::pair<std::string, std::string>> timeControlTags(const TimeControl& control) {
    if (!control.isSet()) return {};
    if (control.isEven()) return {{"TimeControl", sideControlText(control.side[White])}};
    return {{"TimeControl", "?"},
            {"WhiteTimeControl", sideControlText(control.side[White])},
            {"BlackTimeControl", sideControlText(control.side[Black])}};
}

std::string clockText(std::int64_t ms) {
    ms = std::max<std::int64_t>(0, ms);
    const std::int64_t seconds = ms / 1000;
    if (seconds >= 3600) return hoursText(seconds);
    std::string text = std::to_string(seconds / 60) + ':';
    putTwoDigits(text, seconds % 60);
    if (seconds < 10) text += '.' + std::to_string(ms / 100 % 10);
    return text;
}

std::string clockCommand(std::int64_t ms) {
    return "[%clk " + hoursText(std::max<std::int64_t>(0, ms) / 1000) + "]";
}

void GameClock::reset(const TimeControl& control) {
    m_control = control;
    for (int side = White; side <= Black; ++side) m_left[side] = control.side[side].baseMs;
    m_running = -1;
    m_flag    = -1;
    m_sinceMs = 0;
}

void GameClock::start(int side, std::int64_t nowMs) {
    if (side != White && side != Black) return;
    if (m_running >= 0) stop(nowMs);
    m_running = side;
    m_sinceMs = nowMs;
}

bool GameClock::press(std::int64_t nowMs) {
    if (m_running < 0) return true;
    const int side = m_running;
    stop(nowMs);
    const bool inTime = m_flag != side;
    if (inTime) m_left[side] += m_control.side[side].incrementMs;
    start(side ^ 1, nowMs);
    return inTime;
}

void GameClock::stop(std::int64_t nowMs) {
    if (m_running < 0) return;
    const std::int64_t used = std::max<std::int64_t>(0, nowMs - m_sinceMs);
    m_left[m_running]       = std::max<std::int64_t>(0, m_left[m_running] - used);
    if (m_left[m_running] == 0 && m_flag < 0) m_flag = m_running;
    m_running = -1;
}

std::int64_t GameClock::remaining(int side, std::int64_t nowMs) const {
    if (side != White && side != Black) return 0;
    if (side != m_running) return m_left[side];
    return std::max<std::int64_t>(0, m_left[side] - std::max<std::int64_t>(0, nowMs - m_sinceMs));
}

int GameClock::flagFallen(std::int64_t nowMs) const {
    if (m_flag >= 0) return m_flag;
    if (m_running >= 0 && remaining(m_running, nowMs) == 0) return m_running;
    return -1;
}

std::int64_t GameClock::untilFlag(std::int64_t nowMs) const {
    if (m_running < 0) return -1;
    return remaining(m_running, nowMs);
}

int flagFallWinner(const Board& b, int side) {
    const int other = side ^ 1;
    return canStillMate(b, other) ? other : -1;
}
