#include "cli/ucisearch.h"

#include "cli/common.h"
#include "engine/board.h"
#include "engine/coords.h"
#include "engine/search.h"

void UciSearch::start(const ThinkLimits& limits, bool infinite) {
    settle();
    // Cleared before the thread exists, so that a stop read at once is not lost.
    m_stopFlag.store(false);
    m_infinite = infinite;
    m_stop     = false;
    m_thread   = std::thread(&UciSearch::run, this, limits, board);
}

void UciSearch::stop() {
    if (!m_thread.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_stopFlag.store(true);
    m_stopSent.notify_all();
    m_thread.join();
}

void UciSearch::settle() {
    if (m_infinite)
        stop();
    else if (m_thread.joinable())
        m_thread.join();
}

void UciSearch::run(ThinkLimits limits, Board start) {
    board = start; // the search thread's own Board, a copy of the position set up before it
    StopSignalScope stoppedBy(m_stopFlag);
    Move chosen{};
    thinkMove(board.sideToMove, &chosen, limits);
    const Move move = playableMove(chosen);
    if (m_infinite) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_stopSent.wait(lock, [this] { return m_stop; });
    }
    char text[8];
    moveToCoords(move, text);
    m_say(std::string("bestmove ") + text);
}
