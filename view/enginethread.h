// CEngineThread: the engine's think on a worker thread, so that the window repaints, opens its
// menus and takes commands while the engine chooses its move.
//
// The engine's state is process-wide (the Board, the search and hash tables, the book's
// generator, playingStrength) and is never locked. It has one owner at a time:
// - The user-interface thread owns it, except between Start and the end of Finish.
// - Start hands it to the worker: everything the UI thread wrote before Start is seen by the
//   worker (starting a thread orders it), and from then on the UI thread reads and writes no
//   engine state. The board view closes every way in while IsRunning() holds: its mouse input,
//   the commands that use the Board (their enable rules), and the document's operations, which
//   stop the think first (CNorvaneView::ReclaimEngine). The picture comes from the sprites and
//   from a copy of the Board taken before Start, never from the Board itself.
// - Finish takes it back by joining the worker, which orders everything the worker wrote
//   before what the UI thread does next.
// The one thing shared while the worker runs is stopRequested (an atomic the search reads at
// its clock poll) and the progress record below (under its own mutex).
#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <atomic>
#include <functional>
#include <thread>

#include "engine/board.h"

// What the running think has found so far: its last finished iteration.
struct ThinkProgress {
    int  depth = 0;      // 0 until the first iteration finishes
    int  score = 0;      // from the engine's view
    char bestSan[8] = {}; // SAN of the iteration's best move, empty before
};

// For ThinkLimits::iterationDone: records the finished iteration and its best move as the
// running think's progress. Runs on the worker, which owns the Board it reads.
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

    // Hands the engine to a new worker that runs think(side, ...). Only while not running.
    void Start(int side, ThinkFunction think);
    // From Start until Finish: the worker owns the engine.
    bool IsRunning() const { return m_running; }
    // The worker's think has returned (Finish will not wait).
    bool HasEnded() const { return m_ended.load(std::memory_order_acquire); }
    // Asks the search to stop at its next clock poll; it then answers its best move so far.
    void RequestStop();
    // A stop was asked of the last think started (by RequestStop, not by its clock).
    bool StopWasRequested() const { return m_stop.load(); }
    // Waits for the worker and takes the engine back; out and the answer are the think's.
    // Only while running.
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
    std::thread       m_worker;
    std::atomic<bool> m_ended{false};
    std::atomic<bool> m_stop{false};  // the running think's stop request
    bool              m_running = false;
    Move              m_move{};
    int               m_score = 0;
    QElapsedTimer     m_clock;
};
