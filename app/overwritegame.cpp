// 上書き保存: the loaded game replaced in its file, which is written anew beside itself and
// renamed over the old one, so that a failure at any point leaves the old file whole.
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <string>

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

    int newFd = -1;
    outcome   = replaceInFile(GetPathName(), held, entry.start(), entry.end() + 1, game, keepBackup,
                              newFd, calls);
    if (!outcome.done) return outcome;
    // The lock now is the new file's; the old descriptor goes with the old file.
    ::close(m_lockFd);
    m_lockFd = newFd;
    ReindexChangedFile();
    return outcome;
}

void CNorvaneDoc::ReindexChangedFile() {
    if (!m_file.isOpen()) return;
    Reindex([](bool) {}); // the list is made again when the index stands
}
