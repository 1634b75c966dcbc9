// CBackgroundTask: one piece of work at a time on a worker thread (opening or re-indexing a file,
// the position search, the explorer's build, the engine's think), while the window's thread
// goes on serving the window. See docs/threads.md for every kind of background work.
//
// Start hands the work a PassControl: the work adds up the bytes it has read (shown in the
// progress pane, if any, as a percent of totalBytes) and gives up soon after its stop is set
// (the pane's cancel button, Escape for a modal task, Cancel). The end comes back on the
// window's thread, from its event loop, once the worker has returned and been joined: the
// done function runs, then finished is emitted. Nothing else is shared with the worker while
// it runs; whatever the work fills is the caller's to read from done on.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "records/passcontrol.h"

class CProgressPane;

class CBackgroundTask : public QObject {
    Q_OBJECT
public:
    using Work = std::function<void(PassControl&)>;
    // completed: the work ran to its end (false: it was stopped).
    using Done = std::function<void(bool completed)>;

    // How often the progress is taken from the worker.
    static constexpr int ProgressMs = 100;

    explicit CBackgroundTask(QObject* parent = nullptr);
    // Running work is stopped and its worker joined; its end is dropped.
    ~CBackgroundTask() override;
    CBackgroundTask(const CBackgroundTask&)            = delete;
    CBackgroundTask& operator=(const CBackgroundTask&) = delete;

    // Where the progress shows (label, percent, cancel button); none: nowhere.
    void SetProgressPane(CProgressPane* pane);
    // A modal task keeps the window to itself while it runs: the busy cursor over the whole
    // program, and Escape, wherever the focus is, cancels it.
    void SetModal(bool modal) { m_modal = modal; }

    // Runs work on a new worker; done runs on this object's thread when it has ended. False,
    // starting nothing, while other work runs.
    bool Start(const QString& label, std::int64_t totalBytes, Work work, Done done = {});
    // From Start until the end has been delivered: the one "busy" state of this kind of work.
    bool IsRunning() const { return m_running; }
    // Asks the running work to stop; its end comes as usual. Nothing when none runs.
    void Cancel();
    // Stops the running work, waits for its worker and delivers the end at once (done and
    // finished run before this returns). Nothing when none runs.
    void Finish();
    // The same, but the end is dropped: done does not run (the caller no longer wants it).
    void Abandon();
    // How far the running work is, 0-100 (0 without a size).
    int Percent() const;

    // For tests: runs on this thread as every task starts, once runningChanged has been told
    // and before the worker begins, so that a test can cancel at a known point.
    void SetStartHook(std::function<void()> hook) { m_startHook = std::move(hook); }

signals:
    // Work starts (true) or has ended (false, before done runs).
    void runningChanged(bool running);
    // How far the work is, a few times a second while it runs.
    void progressed(int percent);
    // The work has ended and done has run.
    void finished(bool completed);

protected:
    // Escape cancels a modal task.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Posted by the worker as its last act: the end of run generation, if still current.
    Q_INVOKABLE void WorkReturned(quint64 generation);
    // Joins the worker and undoes what Start set up; answers whether the work completed.
    bool Wind();
    // Winds up and delivers the end (or drops it).
    void End(bool deliver);

    std::thread                  m_worker;
    std::unique_ptr<PassControl> m_control;
    Done                         m_done;
    std::int64_t                 m_totalBytes = 0;
    quint64                      m_generation = 0;
    bool                         m_running    = false;
    bool                         m_modal      = false;
    bool                         m_cursorSet  = false;
    QTimer                       m_poll;
    QPointer<CProgressPane>      m_pProgress;
    std::function<void()>        m_startHook;
};
