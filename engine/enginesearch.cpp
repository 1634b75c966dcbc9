#include "engine/enginesearch.h"

#include "engine/search.h"
#include "records/san.h"

namespace {

// The EngineSearch whose run() this thread is in, for the iteration callbacks, which the
// search calls without a context.
thread_local constinit EngineSearch* runningSearch = nullptr;

class RunningScope {
public:
    explicit RunningScope(EngineSearch* search) : m_previous(runningSearch) {
        runningSearch = search;
    }
    ~RunningScope() { runningSearch = m_previous; }
    RunningScope(const RunningScope&)            = delete;
    RunningScope& operator=(const RunningScope&) = delete;

private:
    EngineSearch* m_previous;
};

// Makes signal the ponder signal of this thread's search for the scope's life (null: none).
class PonderScope {
public:
    explicit PonderScope(const std::atomic<std::int64_t>* signal) : m_previous(ponderHitSignal) {
        ponderHitSignal = signal;
    }
    ~PonderScope() { ponderHitSignal = m_previous; }
    PonderScope(const PonderScope&)            = delete;
    PonderScope& operator=(const PonderScope&) = delete;

private:
    const std::atomic<std::int64_t>* m_previous;
};

}  // namespace

EngineSearch::EngineSearch(const Board& start, const ThinkLimits& limits, bool infinite,
                           Think think)
    : m_start(start), m_limits(limits), m_think(std::move(think)),
      m_tellIteration(limits.iterationDone) {
    if (infinite) {
        m_limits.hardLimitMs = NoTimeLimit;
        m_limits.softLimitMs = NoTimeLimit;
    }
    m_limits.iterationDone = &EngineSearch::iterationDone;
    if (!m_think)
        m_think = [](int side, Move* out, const ThinkLimits& l) { return thinkMove(side, out, l); };
}

EngineResult EngineSearch::run() {
    const RunningScope     running(this);
    const StopSignalScope  stoppedBy(m_stop);
    const GameHistoryScope history(m_history.data(), static_cast<int>(m_history.size()));
    const PonderScope      ponder(m_pondering ? &m_ponderHitMs : nullptr);
    if (!m_searchMoves.empty()) {
        m_limits.searchMoves     = m_searchMoves.data();
        m_limits.searchMoveCount = static_cast<int>(m_searchMoves.size());
    }
    board = m_start;
    EngineResult result;
    result.score    = m_think(board.sideToMove, &result.move, m_limits);
    result.depth    = thinkDepth;
    result.fromBook = thinkFromBook;
    result.nodes    = searchNodes;
    {
        const std::lock_guard<std::mutex> hold(m_mutex);
        m_progress.nodes = searchNodes;
    }
    return result;
}

void EngineSearch::requestStop() {
    {
        const std::lock_guard<std::mutex> hold(m_mutex);
        m_stop.store(true);
    }
    m_stopSent.notify_all();
}

void EngineSearch::waitForStop() {
    std::unique_lock<std::mutex> hold(m_mutex);
    m_stopSent.wait(hold, [this] { return m_stop.load(); });
}

void EngineSearch::ponderHit() {
    {
        const std::lock_guard<std::mutex> hold(m_mutex);
        if (m_ponderHitMs.load() < 0) m_ponderHitMs.store(clockMs());
    }
    m_stopSent.notify_all();
}

void EngineSearch::waitForPonderEnd() {
    std::unique_lock<std::mutex> hold(m_mutex);
    m_stopSent.wait(hold, [this] { return m_stop.load() || m_ponderHitMs.load() >= 0; });
}

EngineProgress EngineSearch::progress() const {
    const std::lock_guard<std::mutex> hold(m_mutex);
    return m_progress;
}

void EngineSearch::recordIteration(int depth, int score) {
    EngineSearch* const search = runningSearch;
    if (!search) return;
    // The root's best move on this thread's Board; the SAN makes and unmakes it, and its mate
    // check uses this thread's move lists, which the next iteration sets up afresh.
    EngineProgress now;
    now.depth = depth;
    now.score = score;
    now.best  = pvTable[0][0];
    now.nodes = searchNodes;
    if (now.best.fromTo != 0) moveToSan(now.best, now.bestSan);
    const std::lock_guard<std::mutex> hold(search->m_mutex);
    search->m_progress = now;
}

void EngineSearch::iterationDone(int depth, int score) {
    recordIteration(depth, score);
    if (runningSearch && runningSearch->m_tellIteration)
        runningSearch->m_tellIteration(depth, score);
}
