#include "view/enginethread.h"

#include <QMetaObject>

void recordThinkProgress(int depth, int score) { EngineSearch::recordIteration(depth, score); }

CEngineThread::~CEngineThread() {
    if (!m_running) return;
    RequestStop();
    Move dropped{};
    Finish(&dropped);
}

void CEngineThread::Start(int side, ThinkFunction think) {
    if (m_running) return;
    // The think's limits are its own (the view's Think builds them); the search is made here,
    // before the worker exists, so that a stop asked at once is not lost.
    m_search = std::make_unique<EngineSearch>(
        board, DesktopLimits, false,
        [side, think = std::move(think)](int, Move* out, const ThinkLimits&) {
            return think(side, out);
        });
    m_ended.store(false);
    m_running = true;
    m_clock.start();
    m_worker = std::thread([this] {
        m_result = m_search->run();
        m_ended.store(true, std::memory_order_release);
        // Queued to this object's thread; dropped if the object is gone by then.
        QMetaObject::invokeMethod(this, [this] { emit thinkingEnded(); }, Qt::QueuedConnection);
    });
}

void CEngineThread::RequestStop() {
    if (m_running) m_search->requestStop();
}

int CEngineThread::Finish(Move* out) {
    if (!m_running) {
        *out = Move{};
        return 0;
    }
    m_worker.join();
    m_running = false;
    *out      = m_result.move;
    return m_result.score;
}

ThinkProgress CEngineThread::Progress() const {
    return m_search ? m_search->progress() : ThinkProgress{};
}
