// 上書き保存: the loaded game replaced in its file, which is written anew beside itself and
// renamed over the old one, so that a failure at any point leaves the old file whole.
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include <string>
#include <utility>

#include "app/norvanedoc.h"
#include "records/pgnread.h"

bool CNorvaneDoc::HoldsLoadedGame() const {
    return m_file.isOpen() && m_loadedWhole && m_loadedGame >= 0 &&
           static_cast<std::size_t>(m_loadedGame) < m_games.size();
}

SaveOutcome CNorvaneDoc::OverwriteLoadedGame(const QByteArray& text, bool keepBackup,
                                             const SaveCalls& calls) {
    SaveOutcome outcome;
    if (!HoldsLoadedGame()) return outcome;
    // The byte range holds only for the file as it was indexed: the descriptor must show the
    // size and time it had then, and the name must still lead to that file.
    FileIdentity held;
    if (!m_file.unchanged() || m_lockFd < 0 || !identityOf(m_lockFd, held)) {
        outcome.changedOnDisk = true;
        return outcome;
    }
    const GameEntry& entry = m_games[static_cast<std::size_t>(m_loadedGame)];
    std::string      old;
    readGameText(m_file, &entry, old);
    // The game takes the file's line ends; the blank line after it stays the file's own.
    QByteArray game = text;
    if (old.find("\r\n") == std::string::npos) game.replace("\r\n", "\n");
    while (game.endsWith('\n') || game.endsWith('\r'))
        game.chop(1);

    // A link is followed: the file it leads to is replaced, and the link stays.
    const QString real = QFileInfo(GetPathName()).canonicalFilePath();
    int           newFd = -1;
    outcome = replaceInFile(real.isEmpty() ? GetPathName() : real, held, entry.start(),
                            entry.end() + 1, game, keepBackup, newFd, calls);
    if (!outcome.done) return outcome;
    // The lock passes to the new file at once. Until the list is indexed again the document
    // still reads the old file by the old index; should that pass not end (cancelled), the
    // lock goes back to the old file, so that the two still name one file and a later
    // overwrite finds the file changed instead of writing by the old index.
    const int oldLock = std::exchange(m_lockFd, newFd);
    Reindex([this, oldLock, newFd](bool indexed) {
        if (!indexed && m_file.isOpen() && m_lockFd == newFd) {
            ::close(m_lockFd);
            m_lockFd = oldLock;
        } else {
            ::close(oldLock);
        }
    });
    return outcome;
}

void CNorvaneDoc::ReindexChangedFile() {
    if (!m_file.isOpen()) return;
    Reindex([](bool) {}); // the list is made again when the index stands
}
