#include "app/backgroundtask.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>

#include <algorithm>
#include <utility>

#include "view/progresspane.h"

CBackgroundTask::CBackgroundTask(QObject* parent) : QObject(parent) {
    m_poll.setInterval(ProgressMs);
    connect(&m_poll, &QTimer::timeout, this, [this] {
        const int percent = Percent();
        if (m_pProgress) m_pProgress->SetPercent(this, percent);
        emit progressed(percent);
    });
}

CBackgroundTask::~CBackgroundTask() {
    if (!m_running) return;
    m_control->stop.store(true);
    m_done = {};
    // The pane may already be gone with the window; the QPointer then reads null.
    Wind();
}

void CBackgroundTask::SetProgressPane(CProgressPane* pane) { m_pProgress = pane; }

bool CBackgroundTask::Start(const QString& label, std::int64_t totalBytes, Work work, Done done) {
    if (m_running) return false;
    m_control    = std::make_unique<PassControl>();
    m_done       = std::move(done);
    m_totalBytes = totalBytes;
    m_running    = true;
    ++m_generation;
    emit runningChanged(true);
    // The pane's cancel button takes the work's line off the pane itself.
    if (m_pProgress) m_pProgress->Begin(this, label, [this] { Cancel(); });
    if (m_modal) {
        QCoreApplication::instance()->installEventFilter(this);
        // The arrow with the busy sign: the window still takes the cancel button. (A program
        // without a window, such as a benchmark, has no cursor.)
        m_cursorSet = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
        if (m_cursorSet) QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    }
    if (m_startHook) m_startHook();
    m_poll.start();
    // The worker's last act posts its end to this object's thread, named by its generation so
    // that an end already delivered by Finish is not delivered again. The call is resolved by
    // name: the event is built inside Qt, and nothing of this file's is handed across but the
    // number (the join in Wind orders everything the work wrote).
    m_worker = std::thread([this, work = std::move(work), control = m_control.get(),
                            generation = m_generation] {
        work(*control);
        QMetaObject::invokeMethod(this, "WorkReturned", Qt::QueuedConnection,
                                  Q_ARG(quint64, generation));
    });
    return true;
}

void CBackgroundTask::Cancel() {
    if (m_running) m_control->stop.store(true);
}

void CBackgroundTask::Finish() {
    if (!m_running) return;
    m_control->stop.store(true);
    End(true);
}

void CBackgroundTask::Abandon() {
    if (!m_running) return;
    m_control->stop.store(true);
    End(false);
}

int CBackgroundTask::Percent() const {
    if (!m_running || m_totalBytes <= 0) return 0;
    const std::int64_t done = m_control->bytesDone.load(std::memory_order_relaxed);
    return static_cast<int>(std::min(done, m_totalBytes) * 100 / m_totalBytes);
}

void CBackgroundTask::WorkReturned(quint64 generation) {
    if (m_running && generation == m_generation) End(true);
}

bool CBackgroundTask::Wind() {
    m_worker.join();
    m_poll.stop();
    if (m_modal) {
        QCoreApplication::instance()->removeEventFilter(this);
        if (m_cursorSet) QGuiApplication::restoreOverrideCursor();
        m_cursorSet = false;
    }
    if (m_pProgress) m_pProgress->End(this);
    m_running = false;
    return !m_control->stopped();
}

void CBackgroundTask::End(bool deliver) {
    const bool completed = Wind();
    // Taken first: done may start the next work, which sets its own.
    const Done done = std::exchange(m_done, {});
    emit runningChanged(false);
    if (!deliver) return;
    if (done) done(completed);
    emit finished(completed);
}

bool CBackgroundTask::eventFilter(QObject* watched, QEvent* event) {
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
