// Waiting in the desktop tests for work that ends in the background (an open, a pass over the
// file, the explorer's build, the engine's think): on the signal that ends it, never on the
// clock. The limit only stops a hung test.
#pragma once

#include <QSignalSpy>
#include <QString>

#include "app/backgroundtask.h"
#include "app/docview.h"

inline constexpr int BackgroundWaitMs = 120000;

// Waits until task runs nothing (the end of one piece of work may start the next); false when
// it is still running at the limit.
inline bool waitForTask(const CBackgroundTask& task) {
    while (task.IsRunning()) {
        QSignalSpy ended(&task, &CBackgroundTask::finished);
        if (!ended.wait(BackgroundWaitMs)) return false;
    }
    return true;
}

// Opens path in doc and waits for the open to end: whether it opened.
inline bool openFile(CDocument& doc, const QString& path) {
    QSignalSpy ended(&doc, &CDocument::openEnded);
    doc.OpenDocumentFile(path);
    if (ended.isEmpty() && !ended.wait(BackgroundWaitMs)) return false;
    return ended.first().first().toBool();
}
