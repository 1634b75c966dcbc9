#include "engine/think.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "book/book.h"
#include "engine/attacks.h"
#include "engine/hash.h"
#include "engine/makemove.h"
#include "engine/movegen.h"
#include "engine/perft.h"
#include "engine/search.h"
#include "engine/searchlines.h"
#include "engine/strength.h"

thread_local constinit int  thinkDepth    = 0;
thread_local constinit bool thinkFromBook = false;

namespace {

// The limits the running search obeys now: a ponder search has none until its ponderhit, and
// then the caller's, kept in the pending ones.
thread_local constinit std::int64_t  softLimitNow   = 0;
thread_local constinit int           depthLimitNow  = 0;
thread_local constinit int           iterationNow   = 0;  // the depth being searched
thread_local constinit std::int64_t  pendingHardMs  = 0;
thread_local constinit std::int64_t  pendingSoftMs  = 0;
thread_local constinit int           pendingDepth   = 0;
thread_local constinit std::uint64_t pendingNodes   = 0;

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

// Resets the rootMoveStarted hook when the search ends, however it ends.
class RootHookScope {
public:
    explicit RootHookScope(void (*hook)(const Move&, int)) { rootMoveStarted = hook; }
    ~RootHookScope() {
        rootMoveStarted   = nullptr;
        rootMoves         = nullptr;
        rootMoveCount     = 0;
        rootPreferredMove = 0;
    }
    RootHookScope(const RootHookScope&)            = delete;
    RootHookScope& operator=(const RootHookScope&) = delete;
};

}  // namespace

std::int64_t clockMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void takePonderHit() {
    const std::int64_t hit = ponderHitSignal->load(std::memory_order_relaxed);
    if (hit < 0) return;
    ponderHitSignal = nullptr;
    searchStartMs   = hit;
    timeLimitMs     = pendingHardMs;
    softLimitNow    = pendingSoftMs;
    depthLimitNow   = pendingDepth;
    nodeLimit       = pendingNodes;
    if (iterationNow > depthLimitNow) stopSearch = 1;
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
    timeLimitMs   = limits.hardLimitMs;
    softLimitNow  = limits.softLimitMs;
    depthLimitNow = limits.maxDepth;
    nodeLimit     = limits.maxNodes;
    iterationNow  = 0;
    searchStartMs = clockMs();  // the book probe's time counts against the budget
    // A ponder search has no limit until its ponderhit, which may have come already.
    if (ponderHitSignal) {
        pendingHardMs = timeLimitMs;
        pendingSoftMs = softLimitNow;
        pendingDepth  = depthLimitNow;
        pendingNodes  = nodeLimit;
        timeLimitMs = softLimitNow = NoTimeLimit;
        depthLimitNow = MaxSearchDepth;
        nodeLimit     = NoNodeLimit;
        takePonderHit();
    }
    pollCountdown = pollCountdownFor(0);
    searchNodes   = 0;
    thinkDepth    = 0;
    thinkFromBook = false;
    searchLineCount = 0;

    if (limits.useBook && probeBook(side, out)) {
        thinkFromBook = true;
        return 0;
    }

    clearSearchState();
    reversibleCount[0] = gameHistoryCount;
    const RootHookScope hook(limits.rootMoveStarted);
    RootLines           lines(limits);
    int                 result = 0;
    for (int depth = 1; depth <= depthLimitNow && depth <= MaxSearchDepth; ++depth) {
        iterationNow    = depth;
        selDepthReached = 0;
        int score       = 0;
        if (lines.plain()) {
            score = searchRoot(side, -MateScore, MateScore, depth);
            if (stopSearch) break;  // an interrupted iteration's score is never used
            keepSearchLine(searchLines[0], score, depth);
            searchLineCount = 1;
        } else {
            if (!lines.searchIteration(side, depth)) break;
            score = searchLines[0].score;
        }
        result     = score;
        thinkDepth = depth;
        if (limits.iterationDone) limits.iterationDone(depth, score);
        if (ponderHitSignal) takePonderHit();
        if (stopSearch || stopIsRequested() || searchNodes >= nodeLimit) break;
        if (clockMs() - searchStartMs >= softLimitNow && depth >= SoftStopMinDepth) break;
        if (limits.mateMoves > 0 && score == MateScore &&
            searchLines[0].mateMoves <= limits.mateMoves)
            break;
        if (lines.plain() ? score == MateScore || score == -MateScore : lines.allMates()) break;
    }
    *out = pvTable[0][0];

    // Stopped inside the first iteration before any root move finished: answer a legal move
    // rather than none, which the caller would take for stalemate.
    if (out->fromTo == 0 && result != -MateScore && !lines.firstAllowed(out))
        firstLegalMove(side, out);
    return result;
}
