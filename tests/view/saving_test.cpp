// Saving without losing a game: 保存 and 上書き保存 under failing writes leave the file as it
// was, the question before a modified game goes, and the recovery file of a game in progress.
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include <QSettings>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "app/recoveryfile.h"
#include "records/annotations.h"
#include "app/savefile.h"
#include "resources/viewtexts.h"
#include "tests/qtestmain.h"
#include "tests/view/playflow_fixture.h"
#include "view/gameview.h"

namespace {

const char* const GameFile = "kasparov-deep-blue-1997.pgn";

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// The failures the tests put into a save, set before each one.
std::int64_t writeRoom  = -1;     // bytes the disk still takes; -1 without end
int          openError  = 0;      // every open for writing fails with it
int          syncError  = 0;      // every fsync fails with it
int          renameError = 0;     // every rename fails with it

ssize_t writeUntilFull(int fd, const void* data, std::size_t size) {
    if (writeRoom == 0) {
        errno = ENOSPC;
        return -1;
    }
    const std::size_t n = writeRoom < 0 ? size : std::min<std::size_t>(size, writeRoom);
    const ssize_t     w = ::write(fd, data, n);
    if (w > 0 && writeRoom > 0) writeRoom -= w;
    return w;
}
int openOrRefuse(const char* path, int flags, mode_t mode) {
    if (openError) {
        errno = openError;
        return -1;
    }
    return ::open(path, flags, mode);
}
int syncOrFail(int fd) {
    if (syncError) {
        errno = syncError;
        return -1;
    }
    return ::fsync(fd);
}
int renameOrFail(const char* from, const char* to) {
    if (renameError) {
        errno = renameError;
        return -1;
    }
    return ::rename(from, to);
}
const SaveCalls failingCalls = {openOrRefuse, writeUntilFull, syncOrFail, renameOrFail};

void resetFailures() {
    writeRoom   = -1;
    openError   = 0;
    syncError   = 0;
    renameError = 0;
}

// Sets one failure by its name in the tables below.
void setFailure(const QString& failure) {
    resetFailures();
    if (failure == "disk full") writeRoom = 100;
    if (failure == "read-only") openError = EACCES;
    if (failure == "read-only file system") openError = EROFS;
    if (failure == "flush fails") syncError = EIO;
    if (failure == "rename fails") renameError = EXDEV;
}

// The names in folder other than the given ones (a temporary file left behind shows here).
QStringList otherEntries(const QString& folder, const QStringList& known) {
    QStringList others;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (!known.contains(name)) others << name;
    return others;
}

} // namespace

class SavingTest : public QObject {
    Q_OBJECT
    PlayFixture                    f;
    std::unique_ptr<QTemporaryDir> m_scratch; // each test's own folder

    // A copy of the game file of its own in the scratch folder, opened.
    QString openCopy() {
        const QString path = m_scratch->filePath("games.pgn");
        QFile::remove(path);
        QFile::remove(path + ".bak");
        if (!QFile::copy(QString(NORVANE_TEST_DATA "/") + GameFile, path)) return {};
        if (!openFile(*f.doc, path)) return {};
        return path;
    }

private slots:
    void init() {
        m_scratch = std::make_unique<QTemporaryDir>();
        resetFailures();
        f.make();
        f.view->fileCalls = &failingCalls;
        QVERIFY(f.doc->NewDocumentFile());
    }
    void cleanup() {
        f.destroy();
        resetFailures();
    }

    void aFailedAppendLeavesTheFileAsItWas_data() {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<QString>("says");
        QTest::newRow("disk full") << "disk full" << true << "ディスクの空き容量が足りません";
        QTest::newRow("disk full, new file") << "disk full" << false << "ディスクの空き容量が足りません";
        QTest::newRow("read-only file") << "read-only" << true << "書き込む権限がありません";
        QTest::newRow("read-only file system") << "read-only file system" << true << "読み取り専用";
        QTest::newRow("flush fails") << "flush fails" << true << QString::fromLocal8Bit(std::strerror(EIO));
    }

    void aFailedAppendLeavesTheFileAsItWas() {
        QFETCH(QString, failure);
        QFETCH(bool, fileExists);
        QFETCH(QString, says);
        const QString    path = m_scratch->filePath("append.pgn");
        const QByteArray old  = "[Event \"old\"]\r\n\r\n1.e4 *\r\n\r\n";
        QFile::remove(path);
        if (fileExists) writeBytes(path, old);
        QVERIFY(openFile(*f.doc, privateCopy(GameFile)));
        f.view->savePath = path;
        setFailure(failure);
        QVERIFY(!f.view->SaveGameAs());
        QCOMPARE(f.view->messages.size(), 1);
        QVERIFY2(f.view->messages[0].contains(says), qPrintable(f.view->messages[0]));
        QVERIFY(f.view->messages[0].contains(path));
        if (fileExists)
            QCOMPARE(fileBytes(path), old); // byte for byte: no part of the game stays
        else
            QVERIFY(!QFile::exists(path));
        // Room again: the next save appends right after the old games.
        resetFailures();
        QVERIFY(f.view->SaveGameAs());
        const QByteArray saved = fileBytes(path);
        QVERIFY(saved.startsWith(fileExists ? old + "[Event \"IBM" : QByteArray("[Event \"IBM")));
        QCOMPARE(saved.count("[Event "), fileExists ? 2 : 1);
    }

    void overwriteReplacesOnlyTheLoadedGame() {
        const QString path = openCopy();
        QVERIFY(!path.isEmpty());
        const QByteArray old = fileBytes(path);
        QVERIFY(f.doc->LoadGame(&f.doc->m_games[2]));
        f.doc->UpdateAllViews(nullptr, HintReloadGame);
        const std::int64_t first = f.doc->m_games[2].start(), last = f.doc->m_games[2].end() + 1;
        QVERIFY(f.view->CanOverwrite());
        std::strcpy(gameHeader.white, "Someone Else");
        f.view->SetGameModified(true);
        f.view->OnOverwrite();
        QVERIFY(waitForTask(f.doc->m_fileTask)); // the list is indexed again
        QVERIFY2(f.view->messages.isEmpty(), qPrintable(f.view->messages.join('\n')));
        QVERIFY(!f.view->IsGameModified());

        // Before and after the game, every byte is the old file's; the game has its new tag.
        const QByteArray now = fileBytes(path);
        QVERIFY(now.startsWith(old.left(first)));
        QVERIFY(now.endsWith(old.mid(last)));
        const QByteArray game = now.mid(first, now.size() - first - (old.size() - last));
        QVERIFY(game.startsWith("[Event \"IBM"));
        QVERIFY(game.contains("[White \"Someone Else\"]"));
        QVERIFY(!game.endsWith('\n'));
        QCOMPARE(fileBytes(path + ".bak"), old);
        QCOMPARE(otherEntries(m_scratch->path(), {"games.pgn", "games.pgn.bak"}), QStringList());

        // The list was made again from the new file; the game stays the loaded one.
        QCOMPARE(f.doc->m_games.size(), std::size_t(6));
        QCOMPARE(f.doc->m_loadedGame, std::int64_t(2));
        QVERIFY(f.doc->LoadGame(&f.doc->m_games[2]));
        QCOMPARE(QByteArray(gameHeader.white), QByteArray("Someone Else"));
        // The document holds the lock of the new file: another lock on it is refused.
        const int other = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(other >= 0);
        QVERIFY(::flock(other, LOCK_EX | LOCK_NB) != 0);
        ::close(other);

        // Without the backup setting no .bak is written.
        QFile::remove(path + ".bak");
        QSettings().setValue(KeepBackupKey, false);
        f.view->OnOverwrite();
        QVERIFY(waitForTask(f.doc->m_fileTask));
        QSettings().remove(KeepBackupKey);
        QVERIFY(!QFile::exists(path + ".bak"));
        QCOMPARE(fileBytes(path), now);
    }

    // The list not indexed again after an overwrite (the pass cancelled): the old index does
    // not fit the new file, so a second overwrite finds the file changed and writes nothing.
    void anOverwriteWhoseListWasNotIndexedAgainWritesNoMore() {
        const QString path = openCopy();
        QVERIFY(!path.isEmpty());
        QVERIFY(f.doc->LoadGame(&f.doc->m_games[1]));
        f.doc->UpdateAllViews(nullptr, HintReloadGame);
        CNorvaneDoc* doc = f.doc.get();
        doc->m_fileTask.SetStartHook([doc] { doc->m_fileTask.Cancel(); });
        f.view->OnOverwrite();
        QVERIFY(waitForTask(doc->m_fileTask));
        doc->m_fileTask.SetStartHook({});
        const QByteArray written = fileBytes(path);
        QVERIFY(f.view->yesNoQuestions.isEmpty());
        f.view->OnOverwrite();
        QCOMPARE(f.view->yesNoQuestions.size(), 1);
        QCOMPARE(fileBytes(path), written);
    }

    void overwritingAnAnnotatedGameKeepsItsAnnotations() {
        const QString path = m_scratch->filePath("annotated.pgn");
        QVERIFY(QFile::copy(QString(NORVANE_TEST_DATA "/lichess-annotated.pgn"), path));
        QVERIFY(openFile(*f.doc, path));
        QVERIFY(!gameAnnotations.notes.empty());
        const QByteArray old = fileBytes(path);
        std::strcpy(gameHeader.event, "Corrected");
        f.view->OnOverwrite(); // nothing to ask: the whole tree is written
        QVERIFY(waitForTask(f.doc->m_fileTask));
        QVERIFY(f.view->yesNoQuestions.isEmpty());
        const QByteArray now = fileBytes(path);
        QVERIFY(now.contains("[Event \"Corrected\"]"));
        QCOMPARE(now.count("[%clk"), old.count("[%clk"));
        QCOMPARE(fileBytes(path + ".bak"), old);
    }

    void aFailedOverwriteLeavesTheFileAsItWas_data() {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("says");
        QTest::newRow("disk full") << "disk full" << "ディスクの空き容量が足りません";
        QTest::newRow("read-only folder") << "read-only" << "書き込む権限がありません";
        QTest::newRow("flush fails") << "flush fails" << QString::fromLocal8Bit(std::strerror(EIO));
        QTest::newRow("rename fails") << "rename fails" << QString::fromLocal8Bit(std::strerror(EXDEV));
    }

    void aFailedOverwriteLeavesTheFileAsItWas() {
        QFETCH(QString, failure);
        QFETCH(QString, says);
        const QString path = openCopy();
        QVERIFY(!path.isEmpty());
        const QByteArray old = fileBytes(path);
        QVERIFY(f.doc->LoadGame(&f.doc->m_games[1]));
        f.doc->UpdateAllViews(nullptr, HintReloadGame);
        std::strcpy(gameHeader.white, "Someone Else");
        f.view->SetGameModified(true);
        setFailure(failure);
        f.view->OnOverwrite();
        QCOMPARE(f.view->messages.size(), 1);
        QVERIFY2(f.view->messages[0].contains(says), qPrintable(f.view->messages[0]));
        QVERIFY(f.view->messages[0].contains(QString::fromUtf8("ファイルは元のままです")));
        QCOMPARE(fileBytes(path), old);
        QCOMPARE(otherEntries(m_scratch->path(), {"games.pgn"}), QStringList());
        QVERIFY(f.view->IsGameModified()); // still to be saved
        QVERIFY(f.view->CanOverwrite());
    }

    void aFileChangedOnDiskIsNotOverwritten() {
        const QString path = openCopy();
        QVERIFY(!path.isEmpty());
        QVERIFY(f.doc->LoadGame(&f.doc->m_games[1]));
        f.doc->UpdateAllViews(nullptr, HintReloadGame);
        // Another program appends a game.
        QByteArray changed = fileBytes(path) + "\n[Event \"new\"]\n\n1.d4 *\n";
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::Append));
            file.write("\n[Event \"new\"]\n\n1.d4 *\n");
        }
        f.view->OnOverwrite();
        QCOMPARE(f.view->yesNoQuestions.size(), 1);
        QVERIFY(f.view->yesNoQuestions[0].contains(QString::fromUtf8("変更されています")));
        QCOMPARE(fileBytes(path), changed);
        QVERIFY(!QFile::exists(path + ".bak"));
        // Yes: the file is indexed again, with the game it gained.
        f.view->yesAnswer = true;
        f.view->OnOverwrite();
        QVERIFY(waitForTask(f.doc->m_fileTask));
        QCOMPARE(f.doc->m_games.size(), std::size_t(7));
        QCOMPARE(fileBytes(path), changed);

        // A file replaced under its name (by a rename) is another file.
        QFile::remove(path + ".new");
        writeBytes(path + ".new", changed);
        QCOMPARE(::rename(QFile::encodeName(path + ".new").constData(), QFile::encodeName(path).constData()), 0);
        f.view->yesAnswer = false;
        f.view->OnOverwrite();
        QCOMPARE(f.view->yesNoQuestions.size(), 3);
        QCOMPARE(fileBytes(path), changed);
    }

    void overwriteIsForTheFilesOwnGame() {
        QVERIFY(!f.view->CanOverwrite()); // no file
        QVERIFY(!openCopy().isEmpty());
        QVERIFY(f.view->CanOverwrite()); // its first game is on the board
        QGuiApplication::clipboard()->setText("1. d4 d5 *");
        f.view->OnPasteGame();
        QVERIFY2(!f.view->CanOverwrite(), qPrintable(f.view->messages.join('\n') + QString::number(f.doc->m_loadedGame)));
        QVERIFY(f.doc->LoadGame(&f.doc->m_games[1]));
        f.doc->UpdateAllViews(nullptr, HintReloadGame);
        QVERIFY(f.view->CanOverwrite());
        f.view->newGameChoice = EngineNone;
        f.view->OnPlayFromHere();
        QVERIFY(!f.view->CanOverwrite());
    }

    // New, paste, loading another game from the list and reloading the file's list, each with
    // a game that is not modified, and with a modified one and each answer.
    void aModifiedGameIsNotLetGoUnasked_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<int>("answer"); // SaveAnswer
        QTest::addColumn<bool>("pathGiven");
        QTest::addColumn<bool>("replaced");
        QTest::addColumn<bool>("saved");
        const int save = int(SaveAnswer::Save), discard = int(SaveAnswer::Discard),
                  cancel = int(SaveAnswer::Cancel);
        for (const char* action : {"new", "paste", "load", "reload"}) {
            const QString a = QString::fromLatin1(action);
            const QByteArray n = action;
            QTest::newRow(n + ", not modified") << a << false << cancel << false << true << false;
            QTest::newRow(n + ", save") << a << true << save << true << true << true;
            QTest::newRow(n + ", save, dialog cancelled") << a << true << save << false << false << false;
            QTest::newRow(n + ", do not save") << a << true << discard << false << true << false;
            QTest::newRow(n + ", cancel") << a << true << cancel << true << false << false;
        }
    }

    void aModifiedGameIsNotLetGoUnasked() {
        QFETCH(QString, action);
        QFETCH(bool, modified);
        QFETCH(int, answer);
        QFETCH(bool, pathGiven);
        QFETCH(bool, replaced);
        QFETCH(bool, saved);
        CGameView list(f.doc.get());
        QVERIFY(!openCopy().isEmpty());
        const QString savePath = m_scratch->filePath("saved.pgn");
        QFile::remove(savePath);
        f.view->savePath   = pathGiven ? savePath : QString();
        f.view->saveAnswer = static_cast<SaveAnswer>(answer);
        f.view->newGameChoice = EngineNone; // nobody plays the engine's side
        if (modified) {
            // A game played on from the start position: a move the file does not hold.
            f.view->OnPlayFromHere();
            QVERIFY(clickMove(f.view, "e4"));
        }
        QCOMPARE(f.view->IsGameModified(), modified);

        if (action == "new") f.view->OnNewGame();
        if (action == "paste") {
            QGuiApplication::clipboard()->setText("1. d4 d5 *");
            f.view->OnPasteGame();
        }
        if (action == "load") list.LoadRow(3);
        if (action == "reload") f.doc->OnReload();

        QCOMPARE(f.view->saveQuestions, modified ? 1 : 0);
        QCOMPARE(QFile::exists(savePath), saved);
        if (saved) QVERIFY(fileBytes(savePath).contains("1.e4"));
        const bool stillThere = modified && gamePly == 1 && moveTo(gameMoves[0]) == squareOf("e4");
        QCOMPARE(!stillThere, replaced);
        QCOMPARE(f.view->IsGameModified(), modified && !replaced);
        if (replaced && action == "paste") QCOMPARE(moveTo(gameMoves[0]), squareOf("d4"));
        if (replaced && action == "load") QCOMPARE(f.doc->m_loadedGame, std::int64_t(3));
        if (replaced && action == "reload") QCOMPARE(f.doc->m_loadedGame, std::int64_t(0));
        if (replaced && action == "new") QVERIFY(f.view->m_mode & ModePlaying);
    }

    void aGameInProgressIsKeptInTheRecoveryFile() {
        const QString path = m_scratch->filePath("data/recovery.pgn");
        f.view->SetRecoveryPath(path);
        f.view->newGameChoice = EngineNone;
        f.view->OnNewGame();
        QVERIFY(!QFile::exists(path));
        QVERIFY(clickMove(f.view, "e4"));
        QVERIFY(fileBytes(path).contains("1.e4 *"));
        QVERIFY(clickMove(f.view, "e5"));
        QVERIFY(fileBytes(path).contains("1.e4 e5 *"));
        QCOMPARE(gamePly, 2);
        QCOMPARE(f.view->m_mode & ModePlaying, ModePlaying);

        // The next start, after a crash: yes restores the game, modified; the file stays.
        f.destroy();
        f.make();
        QVERIFY(f.doc->NewDocumentFile());
        f.view->SetRecoveryPath(path);
        f.view->newGameChoice = EngineNone;
        f.view->yesAnswer     = true;
        QVERIFY(f.view->OfferRecovery());
        QCOMPARE(f.view->yesNoQuestions.size(), 1);
        QCOMPARE(moveTo(gameMoves[1]), squareOf("e5"));
        QVERIFY(f.view->IsGameModified());
        QVERIFY(QFile::exists(path));
        // Saved, it goes.
        f.view->savePath = m_scratch->filePath("kept.pgn");
        f.view->OnSave();
        QVERIFY(!QFile::exists(path));
        QVERIFY(!f.view->IsGameModified());

        // Let go by the user's answer, it goes.
        f.view->OnNewGame();
        QVERIFY(clickMove(f.view, "d4"));
        QVERIFY(QFile::exists(path));
        f.view->saveAnswer = SaveAnswer::Discard;
        f.view->OnNewGame();
        QVERIFY(!QFile::exists(path));

        // Refused at the start, it goes; nothing is offered when there is none.
        QVERIFY(writeRecoveryFile(path, "[Event \"x\"]\n\n1. e4 *\n"));
        f.view->yesAnswer = false;
        QVERIFY(!f.view->OfferRecovery());
        QVERIFY(!QFile::exists(path));
        QVERIFY(!f.view->OfferRecovery());
        QCOMPARE(f.view->yesNoQuestions.size(), 2);
    }
};

NORVANE_TEST(SavingTest);

#include "saving_test.moc"
