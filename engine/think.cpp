#include "engine/think.h"

#include <chrono>
#include <cstring>

#include "book/book.h"
#include "engine/attacks.h"
#include "engine/hash.h"
#include "engine/makemove.h"
#include "engine/movegen.h"
#include "engine/search.h"
#include "engine/strength.h"

thread_local constinit int  thinkDepth    = 0;
thread_local constinit bool thinkFromBook = false;

namespace {

// The first legal move of side in generation order, or false when there is none.
bool firstLegalMove(int side, Move* out) {
    Move* const first = moveStack[0];
    Move* const end   = isAttacked(board.kingSquare[side], side ^ 1) ? genEvasions(side, first)
                                                                     : genAllMoves(side, first);
    for (Move* m = first; m != end; ++m)
        if (!leavesKingAttacked(*m)) {
            *out = *m;
            return true;
        }
    return false;
}

}  // namespace

std::int64_t clockMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int thinkMove(int side, Move* out) { return thinkMove(side, out, DesktopLimits); }

int thinkMove(int side, Move* out, const ThinkLimits& limits) {
    if (playingStrength != FullStrength) {
        std::uint64_t random = strengthRandom.load(std::memory_order_relaxed);
        const int     score  = thinkAtLevel(playingStrength, side, out, limits, random);
        strengthRandom.store(random, std::memory_order_relaxed);
        return score;
    }
    return searchBestMove(side, out, limits);
}

int searchBestMove(int side, Move* out, const ThinkLimits& limits) {
    stopSearch    = 0;
    pollCountdown = PollInterval;
    timeLimitMs   = limits.hardLimitMs;
    searchStartMs = clockMs();  // the book probe's time counts against the budget
    searchNodes   = 0;
    thinkDepth    = 0;
    thinkFromBook = false;

    if (limits.useBook && probeBook(side, out)) {
        thinkFromBook = true;
        return 0;
    }

    clearSearchState();
    int result = 0;
    for (int depth = 1; depth <= limits.maxDepth && depth <= MaxSearchDepth; ++depth) {
        const int score = alphaBeta(side, -MateScore, MateScore, depth);
        if (stopSearch) break;  // an interrupted iteration's score is never used
        result     = score;
        thinkDepth = depth;
        if (limits.iterationDone) limits.iterationDone(depth, score);
        if (stopIsRequested()) break;
        if (clockMs() - searchStartMs >= limits.softLimitMs && depth >= SoftStopMinDepth) break;
        if (score == MateScore || score == -MateScore) break;
    }
    *out = pvTable[0][0];

    // Stopped inside the first iteration before any root move finished: answer a legal move
    // rather than none, which the caller would take for stalemate.
    if (out->fromTo == 0 && result != -MateScore) firstLegalMove(side, out);
    return result;
}
