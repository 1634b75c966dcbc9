// CFilePass: one pass over a file (indexing it, the position search) on a worker thread, while
// the user-interface thread goes on serving the window: it repaints, shows the pass's progress
// in the status bar and takes the cancel button and Escape.
//
// Run waits in a nested event loop, so its caller reads as if the pass ran in place. While it
// waits the worker owns everything the work touches; the caller makes sure the user cannot
// reach it meanwhile (runningChanged tells the window to close its ways in).
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

#include "records/passcontrol.h"

class CProgressPane;

class CFilePass : public QObject {
    Q_OBJECT
public:
    // How often the progress is taken from the worker.
    static constexpr int PollMs = 100;

    explicit CFilePass(QObject* parent = nullptr) : QObject(parent) {}

    // Where the progress shows (label, percent, cancel button); none: nowhere.
    void SetProgressPane(CProgressPane* pane) { m_pProgress = pane; }

    // Runs work on a worker thread and answers once it has returned: true when it ran to its
    // end, false when the user cancelled it (the cancel button, Escape, Cancel, or the program
    // ending). work reports the bytes it read to the control out of totalBytes and gives up
    // soon after its stop is set; what it made is then the caller's to drop. One pass at a
    // time: a Run during a Run answers false at once.
    bool Run(const QString& label, std::int64_t totalBytes,
             const std::function<void(PassControl&)>& work);
    bool IsRunning() const { return m_pControl != nullptr; }
    // Asks the running pass to stop; nothing when none runs.
    void Cancel();
    // Says in the status bar that a pass was cancelled.
    void ReportCancelled(const QString& text) { emit cancelled(text); }

    // For tests: runs on this thread as every pass starts, once the window's ways in are
    // closed and before the worker begins, so that a test can cancel at a known point.
    void SetStartHook(std::function<void()> hook) { m_startHook = std::move(hook); }

signals:
    // A pass starts (true) or has ended (false).
    void runningChanged(bool running);
    // A pass was cancelled; text says which.
    void cancelled(const QString& text);

protected:
    // Escape, wherever the focus is, cancels the running pass.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PassControl*          m_pControl  = nullptr; // the running pass's, on Run's stack
    CProgressPane*        m_pProgress = nullptr;
    std::function<void()> m_startHook;
};
