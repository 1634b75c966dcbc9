#include "app/association.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const char* const PgnTypes[] = {"application/vnd.chess-pgn", "application/x-chess-pgn"};
const QString     EntryName  = QStringLiteral("norvane.desktop");

// A path quoted for the Exec key: inside double quotes, ", `, $ and \ are escaped.
QString quotedForExec(const QString& path) {
    QString quoted;
    for (const QChar c : path) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
        quoted += c;
    }
    return u'"' + quoted + u'"';
}

// $XDG_DATA_HOME when it is set to an absolute path, else ~/.local/share.
QString userDataFolder() {
    const QString configured = qEnvironmentVariable("XDG_DATA_HOME");
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured)) return configured;
    return QDir::homePath() + QStringLiteral("/.local/share");
}

void runIfInstalled(const QString& program, const QStringList& arguments) {
    const QString path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) return;
    QProcess process;
    process.start(path, arguments);
    process.waitForFinished(10000);
}

}  // namespace

QString pgnDesktopEntry(const QString& exe) {
    QString types;
    for (const char* type : PgnTypes) types += QString::fromLatin1(type) + u';';
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Norvane\n"
                          "Name[ja]=Norvane チェス\n"
                          "Comment[ja]=チェスの対局と棋譜データベース\n"
                          "Exec=%1 %f\n"
                          "Icon=norvane\n"
                          "Terminal=false\n"
                          "Categories=Game;BoardGame;\n"
                          "MimeType=%2\n")
        .arg(quotedForExec(exe), types);
}

bool registerPgnAssociation(const QString& exe) {
    const QString data         = userDataFolder();
    const QString applications = data + QStringLiteral("/applications");
    if (!QDir().mkpath(applications)) return false;
    QSaveFile entry(applications + u'/' + EntryName);
    if (!entry.open(QIODevice::WriteOnly) || entry.write(pgnDesktopEntry(exe).toUtf8()) < 0 || !entry.commit())
        return false;

    const QIcon icon = QApplication::windowIcon();
    if (!icon.isNull()) {
        const QString icons = data + QStringLiteral("/icons/hicolor/32x32/apps");
        if (QDir().mkpath(icons)) icon.pixmap(32, 32).save(icons + QStringLiteral("/norvane.png"));
    }
    runIfInstalled(QStringLiteral("update-desktop-database"), {applications});
    for (const char* type : PgnTypes)
        runIfInstalled(QStringLiteral("xdg-mime"), {QStringLiteral("default"), EntryName, QString::fromLatin1(type)});
    return true;
}
