// The engine's choice of a move: the opening book first, otherwise iterative deepening of the
// alpha-beta search under a time budget.
#pragma once

#include <cstdint>

#include "engine/board.h"

// The desktop budget. The hard limit stops a running iteration through the clock poll; after
// the soft limit no new iteration starts once one of depth 3 or more has finished.
inline constexpr std::int64_t HardTimeLimitMs  = 4000;
inline constexpr std::int64_t SoftTimeLimitMs  = 2000;
inline constexpr int          SoftStopMinDepth = 3;
inline constexpr int          MaxSearchDepth   = 31;
// A limit the clock never reaches.
inline constexpr std::int64_t NoTimeLimit = INT64_MAX;

// Milliseconds of a monotonic clock; only differences mean anything.
std::int64_t clockMs();

// How one call of thinkMove may spend its time.
struct ThinkLimits {
    std::int64_t hardLimitMs;  // stop the search at this age (NoTimeLimit: never)
    std::int64_t softLimitMs;  // no new iteration past this age once depth 3 is done
    int          maxDepth;     // the last iteration, 1 to 31
    bool         useBook;      // ask probeBook first
    // Told after each finished iteration, with its depth and score; may be null. Runs on
    // the searching thread, whose search state (pvTable, searchNodes) it may read.
    void (*iterationDone)(int depth, int score);
};

inline constexpr ThinkLimits DesktopLimits = {HardTimeLimitMs, SoftTimeLimitMs, MaxSearchDepth,
                                              true, nullptr};

// Chooses a move for side, the colour to move on the Board, within the desktop budget, at
// playingStrength (engine/strength.h); at full strength it is searchBestMove.
// Answers the score from side's view: 0 for a book move; -32767 when side is checkmated (out
// all zero) or every move loses to a mate the search sees (the engine gives up). Otherwise
// out holds a legal move, unless side has none at all: then out is all zero and the answer 0.
// The Board is unchanged on return.
int thinkMove(int side, Move* out);
// The same under other limits: the command-line companion and the tests.
int thinkMove(int side, Move* out, const ThinkLimits& limits);
// The full-strength choice under limits: the book, then iterative deepening.
int searchBestMove(int side, Move* out, const ThinkLimits& limits);

// What the last thinkMove of this thread did: the depth of its last finished iteration (0 when
// none finished or the move came from the book), and whether the book answered.
extern thread_local constinit int  thinkDepth;
extern thread_local constinit bool thinkFromBook;
