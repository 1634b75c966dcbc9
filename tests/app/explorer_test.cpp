// The opening explorer pane in the main window: built after an open, following the board,
// playing its moves, listing the games through the position, cancelled from the status bar.
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "app/mainframe.h"
#include "resources/studytexts.h"
#include "tests/app/testdoc.h"
#include "tests/common/playsan.h"
#include "tests/qtestmain.h"
#include "view/explorer.h"
#include "view/gamelistmodel.h"
#include "view/gameview.h"
#include "view/norvaneview.h"
#include "view/progresspane.h"

namespace {

// The key of the position after line, the Board and the current game left as they were.
std::uint64_t keyAfter(const char* line) {
    const Board saved = board;
    const Move  first = gameMoves[0];
    playSan(line);
    const std::uint64_t key = board.hashKey;
    board                   = saved;
    gameMoves[0]            = first;
    return key;
}

void clickRow(QTreeWidget* rows, int row) {
    const QRect rect = rows->visualItemRect(rows->topLevelItem(row));
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, rect.center());
}

} // namespace

class ExplorerTest : public QObject {
    Q_OBJECT

private slots:
    void theTreeFollowsTheBoardAndItsMovesArePlayed() {
        TestDoc    doc;
        CMainFrame frame(&doc);
        frame.LoadFrame();
        QVERIFY(openFile(doc, data("twic944.pgn")));
        CExplorerView& explorer = *frame.GetExplorer();
        QVERIFY(waitForTask(explorer.BuildTask()));
        QCOMPARE(frame.GetSideTabs()->currentWidget(), frame.GetGameView()); // the list first
        frame.GetSideTabs()->setCurrentWidget(&explorer);
        frame.ShowGameList(true);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));

        // The start: 2953 games, 1.e4 most played (counts as chess.js gives them).
        QTreeWidget* rows = explorer.GetRows();
        QCOMPARE(rows->topLevelItemCount(), 12);
        QCOMPARE(rows->topLevelItem(0)->text(0), QString("e4"));
        QCOMPARE(rows->topLevelItem(0)->text(1), QString("1285"));
        QVERIFY(explorer.GetSummary()->text().contains("2953"));

        // A click plays the move: the board and then the rows follow.
        clickRow(rows, 0);
        QTRY_COMPARE(board.hashKey, keyAfter("e4"));
        QTRY_COMPARE(rows->topLevelItem(0)->text(0), QString("c5"));
        QCOMPARE(rows->topLevelItem(0)->text(1), QString("530"));
        clickRow(rows, 0);
        QTRY_COMPARE(board.hashKey, keyAfter("e4 c5"));
        QCOMPARE(explorer.GetAnswer().games, 530u);

        // The games through the position, in the list; the first opens at the position.
        QTest::mouseClick(explorer.GetListButton(), Qt::LeftButton);
        QVERIFY(waitForTask(doc.m_fileTask));
        QCOMPARE(frame.GetSideTabs()->currentWidget(), frame.GetGameView());
        QCOMPARE(frame.GetGameView()->GetModel()->rowCount(), 530);
        QCOMPARE(board.hashKey, keyAfter("e4 c5"));
        QCOMPARE(gamePly, 2);
        // Another game of the list opens there too.
        frame.GetGameView()->LoadRow(7);
        QCOMPARE(board.hashKey, keyAfter("e4 c5"));
    }

    void aBuildCancelledFromTheStatusBarCanBeStartedAgain() {
        TestDoc    doc;
        CMainFrame frame(&doc);
        frame.LoadFrame();
        QVERIFY(openFile(doc, data("twic944.pgn")));
        CExplorerView& explorer = *frame.GetExplorer();
        QVERIFY(explorer.IsBuilding());
        QVERIFY(frame.GetProgressPane()->IsRunning());
        QSignalSpy  ended(&explorer.BuildTask(), &CBackgroundTask::finished);
        const Board before = board;
        frame.GetProgressPane()->GetCancelButton()->click();
        QVERIFY(!frame.GetProgressPane()->IsRunning());
        QVERIFY(ended.wait(BackgroundWaitMs));
        QCOMPARE(ended.takeFirst().at(0).toBool(), false);
        QVERIFY(!explorer.IsBuilding());
        QCOMPARE(explorer.GetTree().positionCount(), 0u);
        QCOMPARE(explorer.GetRows()->topLevelItemCount(), 0);
        QVERIFY(explorer.GetSummary()->text() == QString::fromUtf8(StudyText::ExplorerCancelled));
        QVERIFY(board == before);

        explorer.StartBuild();
        QVERIFY(waitForTask(explorer.BuildTask()));
        QCOMPARE(explorer.GetRows()->topLevelItemCount(), 12);
    }
};

NORVANE_TEST(ExplorerTest);
#include "explorer_test.moc"
