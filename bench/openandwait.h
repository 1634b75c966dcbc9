// The desktop benchmarks' open: it runs in the background, so the benchmark serves events
// until it has ended.
#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QString>

#include "app/docview.h"

// Opens path in doc and serves events until the open has ended: whether it opened.
inline bool openAndWait(CDocument& doc, const QString& path) {
    bool ended = false, opened = false;
    const QMetaObject::Connection connection =
        QObject::connect(&doc, &CDocument::openEnded, [&](bool ok) {
            ended  = true;
            opened = ok;
        });
    doc.OpenDocumentFile(path);
    while (!ended)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QObject::disconnect(connection);
    return opened;
}
