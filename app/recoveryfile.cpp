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

namespace {

QString unkeptMark(const QString& path) { return path + ".unkept"; }

} // namespace

void removeRecoveryFile(const QString& path) {
    QFile::remove(path);
    QFile::remove(unkeptMark(path));
}

void markRecoveryUnkept(const QString& path, bool unkept) {
    if (!unkept) {
        QFile::remove(unkeptMark(path));
        return;
    }
    if (QFile::exists(unkeptMark(path))) return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile mark(unkeptMark(path));
    mark.open(QIODevice::WriteOnly);
}

bool recoveryUnkept(const QString& path) { return QFile::exists(unkeptMark(path)); }

QByteArray readRecoveryFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}
