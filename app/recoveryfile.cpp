#include "app/recoveryfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

QString recoveryFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/recovery.pgn";
}

bool writeRecoveryFile(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(text);
    return file.commit();
}

void removeRecoveryFile(const QString& path) { QFile::remove(path); }

QByteArray readRecoveryFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}
