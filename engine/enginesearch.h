// EngineSearch: one think of the engine, run by whichever thread calls run(), with what other
// threads may ask of it while it runs (stop it, read its progress). The command line's uci and
// think and the desktop's engine all think through it; how it is threaded is theirs to choose.
//
// The think works on the running thread's own Board (a copy of the start position) and on
// that thread's search state (engine/search.h, engine/hash.h), so nothing of it is shared
// with the caller's thread but the stop request (an atomic) and the progress (under a mutex).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "engine/board.h"
#include "engine/think.h"

// What the running think has found so far: its last finished iteration.
struct EngineProgress {
    int           depth = 0;       // 0 until the first iteration finishes
    int           score = 0;       // from the engine's view
    Move          best{};          // the iteration's best move; all zero before
    char          bestSan[8] = {}; // its SAN, made on the searching thread; empty before
    std::uint64_t nodes = 0;       // nodes searched so far (at the last iteration, or in all)
};

// What the think answered.
struct EngineResult {
    Move          move{};  // all zero when the side to move has no move
    int           score = 0;
    int           depth = 0;  // the last finished iteration; 0 for a book move
    bool          fromBook = false;
    std::uint64_t nodes = 0;
};

class EngineSearch {
public:
    // The choice of a move for side under limits; thinkMove unless the caller gives another.
    using Think = std::function<int(int side, Move* out, const ThinkLimits& limits)>;

    // A think from start, the position to search (its side to move thinks), under limits; an
    // infinite think has no time limit and ends by its depth or by a stop.
    EngineSearch(const Board& start, const ThinkLimits& limits, bool infinite, Think think = {});
    EngineSearch(const EngineSearch&)            = delete;
    EngineSearch& operator=(const EngineSearch&) = delete;

    // Before run: the game's positions before the start since its last pawn move or capture,
    // as hashKeys, oldest first. The search scores a return to any of them as a draw.
    void setGameHistory(std::vector<std::uint64_t> keys) { m_history = std::move(keys); }
    // Before run: only these root moves are searched (limits.searchMoves points at them).
    void setSearchMoves(std::vector<Move> moves) { m_searchMoves = std::move(moves); }
    // Before run: the think ponders. No limit holds until ponderHit; from then on the limits
    // do, their time counted from the hit. A ponder think that ends before the hit still
    // answers; its caller waits for the hit or a stop (waitForPonderEnd) before it uses it.
    void setPondering() { m_ponderHitMs.store(-1); m_pondering = true; }

    // Runs the think on the calling thread, whose Board it sets to the start position, and
    // answers it. limits.iterationDone is told each finished iteration after the progress
    // holds it. Once per object.
    EngineResult run();

    // From any thread: ends the think at its next look at the clock, as if its time had run
    // out (it then answers its best move so far); also before run, which then ends at once.
    void requestStop();
    bool stopRequested() const { return m_stop.load(); }
    // From any thread: returns once requestStop has been called (an infinite think's answer
    // waits for it).
    void waitForStop();

    // From any thread: the ponderhit (nothing when the think does not ponder).
    void ponderHit();
    // From any thread: returns once ponderHit or requestStop has been called.
    void waitForPonderEnd();

    // From any thread: the last finished iteration.
    EngineProgress progress() const;

    // For ThinkLimits::iterationDone of a Think that builds its own limits: records the
    // iteration as the progress of the EngineSearch running on this thread (none: nothing).
    static void recordIteration(int depth, int score);

private:
    static void iterationDone(int depth, int score);

    Board                   m_start;
    ThinkLimits             m_limits;
    Think                   m_think;
    void (*m_tellIteration)(int depth, int score);  // the caller's iterationDone
    std::atomic<bool>       m_stop{false};
    mutable std::mutex      m_mutex;  // guards m_progress and m_stopSent's waits
    std::condition_variable m_stopSent;  // also told of the ponderhit
    EngineProgress          m_progress;
    std::vector<std::uint64_t> m_history;
    std::vector<Move>          m_searchMoves;
    bool                       m_pondering = false;
    std::atomic<std::int64_t>  m_ponderHitMs{0};  // -1 while pondering
};
