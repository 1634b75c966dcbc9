#include "app/filepass.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <thread>

#include "view/progresspane.h"

bool CFilePass::Run(const QString& label, std::int64_t totalBytes,
                    const std::function<void(PassControl&)>& work) {
    if (m_pControl) return false;
    PassControl control;
    m_pControl = &control;
    emit runningChanged(true);
    // The pane's cancel button ends the pane's showing of the pass itself.
    bool paneEnded = false;
    if (m_pProgress) m_pProgress->Begin(label, [this, &paneEnded] {
        paneEnded = true;
        Cancel();
    });
    QCoreApplication* const application = QCoreApplication::instance();
    application->installEventFilter(this);
    // The arrow with the busy sign: the window still takes the cancel button. (A program
    // without a window, such as a benchmark, has no cursor.)
    const bool windowed = qobject_cast<QGuiApplication*>(application) != nullptr;
    if (windowed) QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    if (m_startHook) m_startHook();

    QEventLoop        loop;
    std::atomic<bool> finished{false};
    QTimer            poll;
    poll.setInterval(PollMs);
    connect(&poll, &QTimer::timeout, this, [&] {
        if (!m_pProgress || totalBytes <= 0) return;
        const std::int64_t done = control.bytesDone.load(std::memory_order_relaxed);
        m_pProgress->SetPercent(static_cast<int>(std::min<std::int64_t>(done, totalBytes) * 100 /
                                                 totalBytes));
    });
    poll.start();
    // The worker's last act is to post the loop's end; the loop outlives it (joined below).
    std::thread worker([&] {
        work(control);
        finished.store(true, std::memory_order_release);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    // The loop also ends when the program quits: the pass is then stopped, not awaited.
    if (!finished.load(std::memory_order_acquire)) control.stop.store(true);
    worker.join();

    poll.stop();
    if (windowed) QGuiApplication::restoreOverrideCursor();
    application->removeEventFilter(this);
    if (m_pProgress && !paneEnded) m_pProgress->End();
    m_pControl = nullptr;
    emit runningChanged(false);
    return !control.stopped();
}

void CFilePass::Cancel() {
    if (m_pControl) m_pControl->stop.store(true);
}

bool CFilePass::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::ShortcutOverride) &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        // The override keeps Escape from any shortcut; the key press itself cancels.
        event->accept();
        if (type == QEvent::KeyPress) Cancel();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
