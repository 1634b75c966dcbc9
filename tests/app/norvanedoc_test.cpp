#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "app/commands.h"
#include "app/norvanedoc.h"
#include "book/book.h"
#include "engine/makemove.h"
#include "records/game.h"
#include "resources/studytexts.h"
#include "tests/app/testdoc.h"
#include "tests/qtestmain.h"
#include "view/norvaneview.h"

namespace {

bool atStart() {
    Board fresh = board;
    setupStartPosition();
    return fresh == board;
}

int matched(const CNorvaneDoc& doc) {
    int n = 0;
    for (const GameEntry& e : doc.m_games)
        n += (e.info & Matched) != 0;
    return n;
}

std::vector<bool> matchMarks(const CNorvaneDoc& doc) {
    std::vector<bool> marks;
    for (const GameEntry& e : doc.m_games)
        marks.push_back((e.info & Matched) != 0);
    return marks;
}

// Every pass of doc is cancelled as it starts, before its worker reads a byte.
void cancelEveryPass(CNorvaneDoc& doc) {
    doc.m_fileTask.SetStartHook([&doc] { doc.m_fileTask.Cancel(); });
}

// Whether another descriptor can take an exclusive lock on path now.
bool lockable(const QString& path) {
    const int  fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    const bool ok = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (fd >= 0) ::close(fd);
    return ok;
}

} // namespace

class NorvaneDocTest : public QObject {
    Q_OBJECT
private slots:
    void theEngineAndBookAreReadyFromTheStart() {
        TestDoc doc;
        QCOMPARE(QString(bookPath), QCoreApplication::applicationDirPath() + "/book.dat");
        QCOMPARE(doc.m_pieceImageIds[0 * 8 + King], 131u);
        QCOMPARE(doc.m_pieceImageIds[1 * 8 + Pawn], 142u);
    }

    void openingARealFileIndexesItAndLoadsTheFirstGame() {
        TestDoc    doc;
        HintView   view;
        QSignalSpy shown(&doc, &CNorvaneDoc::showGameList);
        doc.AddView(&view);
        const QString path = data("kasparov-deep-blue-1997.pgn");
        QVERIFY(openFile(doc, path));
        QCOMPARE(doc.m_games.size(), std::size_t(6));
        QCOMPARE(doc.m_fileInfo.games, 6);
        QCOMPARE(doc.m_fileInfo.fileSize, QFile(path).size());
        QCOMPARE(QString(doc.m_fileInfo.path), path);
        QCOMPARE(doc.GetPathName(), path);
        QCOMPARE(QString(gameHeader.white), QString("Garry Kasparov"));
        QCOMPARE(QString(gameHeader.black), QString("Deep Blue (Computer)"));
        QVERIFY(gameMoves[88].piece != 0 && gameMoves[89].piece == 0); // its 89 plies
        QCOMPARE(gamePly, 0);
        QVERIFY(atStart());
        QCOMPARE(shown.takeLast().at(0).toBool(), true);
        QCOMPARE(view.hints, (std::vector<int>{HintRebuildList})); // the contents dropped
        QCOMPARE(doc.GetPaneText(PaneGameCount), QString("6"));
        QCOMPARE(doc.GetPaneText(PaneFileSize), QString("5KB"));
        QCOMPARE(doc.GetPaneText(PanePathName), path);
        QVERIFY(doc.messages.isEmpty());
        QVERIFY(!lockable(path)); // held while open
        QVERIFY(doc.NewDocumentFile());
        QVERIFY(lockable(path));
        QVERIFY(doc.GetPaneText(PaneFileSize).isEmpty());
        QVERIFY(doc.GetPaneText(PaneGameCount).isEmpty());
        QCOMPARE(shown.takeLast().at(0).toBool(), false);
    }

    void aFileWithNoReadableGameLeavesTheOpenCollectionAsItWas() {
        TestDoc doc;
        QVERIFY(openFile(doc, data("kasparov-deep-blue-1997.pgn")));
        const QString path = doc.GetPathName();
        const QString white = QString(gameHeader.white);
        HintView   view;
        QSignalSpy shown(&doc, &CNorvaneDoc::showGameList);
        doc.AddView(&view);
        QVERIFY(!openFile(doc, data("anastasian-lewis.pgn")));
        QCOMPARE(doc.messages.size(), 1);
        QVERIFY(doc.messages[0].startsWith(
            QString::fromUtf8("ファイルを開くのに失敗しました\n\n20行目\n")));
        QCOMPARE(doc.m_games.size(), std::size_t(6));
        QCOMPARE(doc.m_fileInfo.games, 6);
        QVERIFY(doc.m_file.isOpen());
        QCOMPARE(doc.GetPathName(), path);
        QCOMPARE(QString(gameHeader.white), white);
        QVERIFY(view.hints.empty());
        QVERIFY(shown.isEmpty());
        QVERIFY(!lockable(path));
        QVERIFY(lockable(data("anastasian-lewis.pgn")));

        // A file that cannot be opened says nothing of its own.
        QVERIFY(!openFile(doc, data("no-such-file.pgn")));
        QCOMPARE(doc.messages.size(), 1);
        QCOMPARE(doc.m_games.size(), std::size_t(6));
        // Nor does a file that is not a regular file: a FIFO (its open never waits for a
        // writer) or a folder.
        QTemporaryDir folder;
        const QString fifo = folder.filePath("games.pgn");
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
        for (const QString& other : {fifo, folder.path()}) {
            QVERIFY(!openFile(doc, other));
            QCOMPARE(doc.messages.size(), 1);
            QCOMPARE(doc.m_games.size(), std::size_t(6));
        }

        // The same file opened again keeps its lock throughout.
        QVERIFY(openFile(doc, path));
        QCOMPARE(doc.m_games.size(), std::size_t(6));
        QVERIFY(!lockable(path));
    }

    void damagedGamesAreLeftOutWithOneMessage() {
        TestDoc doc;
        QVERIFY(openFile(doc, data("pgn4web-test.pgn")));
        QCOMPARE(doc.m_games.size(), std::size_t(14));
        QCOMPARE(doc.GetPaneText(PaneGameCount), QString("14"));
        QCOMPARE(doc.messages.size(), 1);
        QVERIFY(doc.messages[0].startsWith(QString::fromUtf8(
            "読み込めない棋譜が1局ありました。読み込めた棋譜だけを開きます。\n\n129行目\n")));
    }

    // The messages of an open come once the file is shown: the games left out first, then
    // the first game's move that cannot be read.
    void anOpensMessagesComeAfterTheFileIsShownInOrder() {
        TestDoc doc;
        QVERIFY(openFile(doc, data("torture.pgn")));
        QCOMPARE(doc.messages.size(), 2);
        QVERIFY(doc.messages[0].startsWith(QString::fromUtf8("読み込めない棋譜が2局ありました。")));
        QVERIFY(doc.messages[1].contains(QString::fromUtf8("Rh6: を読み込めません")));
        // Loading a game later tells at once.
        doc.messages.clear();
        QVERIFY(!doc.LoadGame(&doc.m_games.front()));
        QCOMPARE(doc.messages.size(), 1);
    }

    void aFileHeldByAnotherDocumentDoesNotOpen() {
        TestDoc first, second;
        QVERIFY(openFile(first, data("kasparov-deep-blue-1997.pgn")));
        QVERIFY(!openFile(second, data("kasparov-deep-blue-1997.pgn")));
        QVERIFY(second.m_games.empty());
        QVERIFY(second.messages.isEmpty());
        QCOMPARE(first.m_games.size(), std::size_t(6));
    }

    void aCancelledOpenLeavesTheCollectionItsListAndTheGame() {
        TestDoc doc;
        QVERIFY(openFile(doc, data("kasparov-deep-blue-1997.pgn")));
        const QString path = doc.GetPathName();
        QVERIFY(doc.LoadGame(&doc.m_games[2]));
        for (gamePly = 0; gamePly < 7; ++gamePly)
            makeMove(gameMoves[gamePly]);
        const Board   before = board;
        const QString white  = QString(gameHeader.white);
        HintView      view;
        doc.AddView(&view);
        QSignalSpy cancelled(&doc, &CNorvaneDoc::passCancelled);

        cancelEveryPass(doc);
        QVERIFY(!openFile(doc, data("twic944.pgn")));
        QVERIFY(doc.WasCancelled());
        QCOMPARE(doc.m_games.size(), std::size_t(6));
        QCOMPARE(doc.m_fileInfo.games, 6);
        QCOMPARE(doc.GetPathName(), path);
        QCOMPARE(doc.m_loadedGame, std::int64_t(2));
        QCOMPARE(QString(gameHeader.white), white);
        QCOMPARE(gamePly, 7);
        QVERIFY(board == before);
        QVERIFY(view.hints.empty());
        QVERIFY(doc.messages.isEmpty());
        QCOMPARE(cancelled.size(), 1);
        QCOMPARE(cancelled[0].at(0).toString(), QString::fromUtf8(StudyText::OpenCancelled));
        QVERIFY(!lockable(path));
        QVERIFY(lockable(data("twic944.pgn")));
        QVERIFY(!doc.IsPassRunning());

        // Not cancelled, the same open runs on its worker to the end.
        doc.m_fileTask.SetStartHook({});
        QVERIFY(openFile(doc, data("twic944.pgn")));
        QVERIFY(!doc.WasCancelled());
        QCOMPARE(doc.m_games.size(), std::size_t(2953));
        QCOMPARE(cancelled.size(), 1);
    }

    void aCancelledPositionSearchKeepsTheListAndItsCriteria() {
        TestDoc  doc;
        HintView view;
        doc.AddView(&view);
        QVERIFY(openFile(doc, data("twic944.pgn")));
        doc.search.name = "carlsen";
        doc.OnSearch();
        const std::vector<bool> marks = matchMarks(doc);
        const std::int64_t      shown = doc.m_loadedGame;
        const QString           white = QString(gameHeader.white);

        view.hints.clear();
        cancelEveryPass(doc);
        doc.search.samePosition = true;
        doc.OnSearch();
        QVERIFY(waitForTask(doc.m_fileTask));
        QVERIFY(doc.WasCancelled());
        QVERIFY(matchMarks(doc) == marks);
        QCOMPARE(doc.m_loadedGame, shown);
        QCOMPARE(QString(gameHeader.white), white);
        QCOMPARE(doc.GetPaneText(PaneGameCount),
                 QString("%1 / 2953").arg(std::count(marks.begin(), marks.end(), true)));
        QVERIFY(doc.m_filter.positionKey == 0); // the criteria of the list shown
        QCOMPARE(QString(doc.m_filter.name), QString("carlsen"));
        QVERIFY(view.hints.empty());
        QVERIFY(doc.messages.isEmpty());

        doc.m_fileTask.SetStartHook({});
        doc.OnSearch();
        QVERIFY(doc.IsPassRunning()); // the search reads the file in the background
        QVERIFY(waitForTask(doc.m_fileTask));
        QVERIFY(!doc.WasCancelled());
        QVERIFY(doc.m_filter.positionKey != 0);
        QCOMPARE(view.hints.back(), HintEverything);
    }

    void searchThenReload() {
        TestDoc  doc;
        HintView view;
        doc.AddView(&view);
        QVERIFY(openFile(doc, data("twic944.pgn")));
        const int games = int(doc.m_games.size());
        QCOMPARE(games, 2953);
        QCOMPARE(QString(gameHeader.white), QString(doc.m_names.name(doc.m_games[0].white).data()));

        // No criteria, or Cancel: nothing changes.
        const Board before = board;
        view.hints.clear();
        doc.OnSearch();
        doc.answerSearch = false;
        doc.search.name  = "carlsen";
        doc.OnSearch();
        QCOMPARE(matched(doc), games);
        QVERIFY(view.hints.empty());
        QVERIFY(board == before);

        doc.answerSearch = true;
        doc.OnSearch();
        const int found = matched(doc);
        QVERIFY(found > 0 && found < games);
        QVERIFY(QString(gameHeader.white).contains("Carlsen") ||
                QString(gameHeader.black).contains("Carlsen"));
        QCOMPARE(view.hints.back(), HintEverything);
        QCOMPARE(QString(doc.m_filter.name), QString("carlsen"));

        doc.search      = SearchDialogValues{};
        doc.search.name = "carlsen";
        doc.OnSearch();
        view.hints.clear();
        doc.OnReload();
        QCOMPARE(matched(doc), games);
        QCOMPARE(QString(gameHeader.white), QString(doc.m_names.name(doc.m_games[0].white).data()));
        QCOMPARE(QString(gameHeader.black), QString(doc.m_names.name(doc.m_games[0].black).data()));
        QCOMPARE(view.hints, (std::vector<int>{HintEverything}));
        QCOMPARE(doc.m_filter.name[0], '\0');
    }

    void searchingForThePositionOnTheBoardReadsTheFile() {
        TestDoc doc;
        QVERIFY(openFile(doc, data("kasparov-deep-blue-1997.pgn")));
        doc.search.samePosition = true;
        doc.search.whiteWon     = true;
        clearGame();
        doc.OnSearch(); // at the start every game has a move: the results decide
        QVERIFY(waitForTask(doc.m_fileTask));
        QCOMPARE(matched(doc), 3);
        QCOMPARE(QString(gameHeader.white), QString("Garry Kasparov"));
        doc.search.whiteWon = false;
        doc.OnSearch();
        QVERIFY(waitForTask(doc.m_fileTask));
        QCOMPARE(matched(doc), 6);
        QVERIFY(doc.messages.isEmpty());
    }

    void theFileCommandsNeedGamesAndNoReplay() {
        TestDoc       doc;
        CNorvaneView  boardPane(&doc);
        CCommandTable table;
        doc.AddCommands(table);
        const int commands[] = {CmdFileInfo, CmdSearch, CmdReload};
        table.UpdateCommandUI();
        for (int id : commands)
            QVERIFY(!table.Action(id)->isEnabled());
        QVERIFY(openFile(doc, data("kasparov-deep-blue-1997.pgn")));
        table.UpdateCommandUI();
        for (int id : commands)
            QVERIFY(table.Action(id)->isEnabled());
        boardPane.m_mode |= ModeReplaying;
        table.UpdateCommandUI();
        for (int id : commands)
            QVERIFY(!table.Action(id)->isEnabled());
        boardPane.m_mode &= ~ModeReplaying;
        QVERIFY(table.Execute(CmdFileInfo));
        QCOMPARE(doc.messages.size(), 1);
        QVERIFY(doc.messages[0].contains("game"));
    }

    void sizePaneTexts() {
        struct Case {
            std::int64_t size;
            const char*  text;
        };
        const Case cases[] = {{0, ""},
                              {1, "1KB"},
                              {1023, "1KB"},
                              {1024, "2KB"},
                              {1048575, "1024KB"},
                              {1048576, "1MB"},
                              {3000000, "2MB"},
                              {5000000000, "4768MB"}};
        for (const Case& c : cases)
            QCOMPARE(fileSizeText(c.size), QString(c.text));
    }

    void aFileChangedOnDiskIsIndexedAgainBeforeAGameIsRead() {
        QTemporaryDir dir;
        const QString path = dir.filePath("games.pgn");
        QVERIFY(QFile::copy(data("kasparov-deep-blue-1997.pgn"), path));
        TestDoc  doc;
        HintView view;
        doc.AddView(&view);
        QVERIFY(openFile(doc, path));
        QCOMPARE(doc.m_games.size(), std::size_t(6));

        // Another program rewrites the file: one short game in front of the others.
        {
            QFile original(data("kasparov-deep-blue-1997.pgn"));
            QVERIFY(original.open(QIODevice::ReadOnly));
            QFile changed(path);
            QVERIFY(changed.open(QIODevice::WriteOnly | QIODevice::Truncate));
            changed.write("[White \"Alpha\"]\n[Black \"Beta\"]\n\n1. e4 e5 2. Nf3 1-0\n\n");
            changed.write(original.readAll());
        }
        view.hints.clear();
        // A cancelled re-index keeps the old index, its list and the game.
        const QString white = QString(gameHeader.white);
        cancelEveryPass(doc);
        QVERIFY(!doc.LoadGame(&doc.m_games[1]));
        QVERIFY(waitForTask(doc.m_fileTask));
        QVERIFY(doc.WasCancelled());
        QCOMPARE(doc.m_games.size(), std::size_t(6));
        QCOMPARE(doc.m_loadedGame, std::int64_t(0));
        QCOMPARE(QString(gameHeader.white), white);
        QVERIFY(view.hints.empty());
        doc.m_fileTask.SetStartHook({});
        bool loaded = false;
        QVERIFY(!doc.LoadGame(&doc.m_games[1], [&](bool ok) { loaded = ok; })); // not yet
        QVERIFY(waitForTask(doc.m_fileTask));
        QVERIFY(loaded);
        QCOMPARE(doc.m_games.size(), std::size_t(7));
        QCOMPARE(QString(gameHeader.white), QString("Garry Kasparov")); // game 1 of the new file
        QCOMPARE(QString(doc.m_names.name(doc.m_games[0].white).data()), QString("Alpha"));
        // Once, with the new index: the old one stays until the new one is made.
        QCOMPARE(view.hints, (std::vector<int>{HintRebuildList}));
        QVERIFY(doc.LoadGame(&doc.m_games[0]));
        QCOMPARE(QString(gameHeader.white), QString("Alpha"));
        QCOMPARE(gameMoves[2].piece, std::int16_t(Knight));

        // Broken on disk: the document falls back to empty, with the scanner's message.
        {
            QFile changed(path);
            QVERIFY(changed.open(QIODevice::WriteOnly | QIODevice::Truncate));
            changed.write("[White \"Alpha\"]\n1. e4 (\n");
        }
        QVERIFY(!doc.LoadGame(&doc.m_games[0]));
        QVERIFY(waitForTask(doc.m_fileTask));
        QVERIFY(doc.m_games.empty());
        QVERIFY(doc.GetPathName().isEmpty());
        QCOMPARE(doc.messages.size(), 1);
        QCOMPARE(view.hints.back(), HintEverything);
        QVERIFY(atStart());
    }
};

NORVANE_TEST(NorvaneDocTest);
#include "norvanedoc_test.moc"
