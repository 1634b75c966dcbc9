// CEngineThread: the engine's think on a worker thread, so that the window repaints, opens its
// menus and takes commands while the engine chooses its move. The think itself is an
// EngineSearch (engine/enginesearch.h), the same worker the command line uses.
//
// The worker thinks on its own Board, a copy of the position at Start, and on its own search
// state (both thread-local): the user-interface thread keeps its Board and may make SAN, check
// mate and generate moves while the worker runs. What else the worker reads (playingStrength,
// the book's path) is set before Start and not written until Finish. The only things both
// threads touch while it runs are the think's stop request (an atomic the search reads at its
// clock poll), its progress (under its own mutex) and the level's generator (an atomic).
// Finish joins the worker, which orders everything it wrote before what the UI thread does next.
#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "engine/board.h"
#include "engine/enginesearch.h"

// What the running think has found so far: its last finished iteration.
using ThinkProgress = EngineProgress;

// For ThinkLimits::iterationDone: records the finished iteration and its best move as the
// running think's progress. Runs on the worker, on the Board and search state it thinks on.
void recordThinkProgress(int depth, int score);

class CEngineThread : public QObject {
    Q_OBJECT
public:
    // The think the worker runs: the engine's choice for side into out, answering its score.
    using ThinkFunction = std::function<int(int side, Move* out)>;

    explicit CEngineThread(QObject* parent = nullptr) : QObject(parent) {}
    // A running think is stopped and its worker joined; its move is dropped.
    ~CEngineThread() override;
    CEngineThread(const CEngineThread&)            = delete;
    CEngineThread& operator=(const CEngineThread&) = delete;

    // Starts a new worker that runs think(side, ...) on a copy of the Board. Only while not
    // running.
    void Start(int side, ThinkFunction think);
    // From Start until Finish: a think runs, or has ended and its move waits for Finish.
    bool IsRunning() const { return m_running; }
    // The worker's think has returned (Finish will not wait).
    bool HasEnded() const { return m_ended.load(std::memory_order_acquire); }
    // Asks the search to stop at its next clock poll; it then answers its best move so far.
    void RequestStop();
    // A stop was asked of the last think started (by RequestStop, not by its clock).
    bool StopWasRequested() const { return m_search && m_search->stopRequested(); }
    // Waits for the worker; out and the answer are the think's. Only while running.
    int Finish(Move* out);

    // The progress of the running think, and the milliseconds since Start.
    ThinkProgress Progress() const;
    qint64        ElapsedMs() const { return m_clock.elapsed(); }

signals:
    // The worker's think has returned; delivered on the user-interface thread, where the
    // receiver calls Finish. It may arrive after a Finish the UI thread called itself: the
    // receiver checks IsRunning and HasEnded first.
    void thinkingEnded();

private:
    std::unique_ptr<EngineSearch> m_search;  // the last think started
    std::thread                   m_worker;
    std::atomic<bool>             m_ended{false};
    bool                          m_running = false;
    EngineResult                  m_result;
    QElapsedTimer                 m_clock;
};
