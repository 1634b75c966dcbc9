#include "view/enginethread.h"

#include <QMetaObject>

#include <cstring>
#include <mutex>

#include "engine/search.h"
#include "records/san.h"

namespace {

// The progress of the one think that can run at a time: the worker writes it at the end of
// each iteration, the user-interface thread reads it for the status line.
std::mutex    progressLock;
ThinkProgress progress;

} // namespace

void recordThinkProgress(int depth, int score) {
    // The root's best move, read while the worker owns the Board it was found on; the SAN
    // makes and unmakes it, leaving the tables the next iteration uses as they were.
    ThinkProgress now;
    now.depth = depth;
    now.score = score;
    if (pvTable[0][0].fromTo != 0) moveToSan(pvTable[0][0], now.bestSan);
    const std::lock_guard<std::mutex> hold(progressLock);
    progress = now;
}

CEngineThread::~CEngineThread() {
    if (!m_running) return;
    RequestStop();
    Move dropped{};
    Finish(&dropped);
}

void CEngineThread::Start(int side, ThinkFunction think) {
    if (m_running) return;
    {
        const std::lock_guard<std::mutex> hold(progressLock);
        progress = ThinkProgress{};
    }
    // Cleared before the worker exists, so that a stop asked at once is not lost.
    m_stop.store(false);
    m_ended.store(false);
    m_running = true;
    m_clock.start();
    // The worker thinks on its own Board, a copy of this thread's position.
    m_worker = std::thread([this, side, think = std::move(think), start = board] {
        board = start;
        const StopSignalScope stoppedBy(m_stop);
        Move      move{};
        const int score = think(side, &move);
        m_move          = move;
        m_score         = score;
        m_ended.store(true, std::memory_order_release);
        // Queued to this object's thread; dropped if the object is gone by then.
        QMetaObject::invokeMethod(this, [this] { emit thinkingEnded(); }, Qt::QueuedConnection);
    });
}

void CEngineThread::RequestStop() {
    if (m_running) m_stop.store(true);
}

int CEngineThread::Finish(Move* out) {
    if (!m_running) {
        *out = Move{};
        return 0;
    }
    m_worker.join();
    m_running = false;
    *out      = m_move;
    return m_score;
}

ThinkProgress CEngineThread::Progress() const {
    const std::lock_guard<std::mutex> hold(progressLock);
    return progress;
}
