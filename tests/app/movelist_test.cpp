// The move list beside the board: it follows stepping, keys and research, and a click on a
// move shows its position.
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "app/commands.h"
#include "app/mainframe.h"
#include "engine/makemove.h"
#include "engine/movegen.h"
#include "tests/app/testdoc.h"
#include "tests/qtestmain.h"
#include "view/explorer.h"
#include "view/movelist.h"
#include "view/norvaneview.h"

namespace {

QString currentText(const QTableWidget* table) {
    const QTableWidgetItem* item = table->currentItem();
    return item && item->isSelected() ? item->text().trimmed() : QString();
}

void clickCell(QTableWidget* table, int row, int column) {
    const QRect rect = table->visualItemRect(table->item(row, column));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, rect.center());
}

} // namespace

class MoveListTest : public QObject {
    Q_OBJECT

private slots:
    void theListFollowsTheBoardAndAClickGoesToTheMove() {
        TestDoc    doc;
        CMainFrame frame(&doc);
        frame.LoadFrame();
        QVERIFY(doc.OpenDocumentFile(data("kasparov-deep-blue-1997.pgn")));
        frame.ShowGameList(true);
        frame.GetSideTabs()->setCurrentWidget(frame.GetMoveList());
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        QTableWidget* table = frame.GetMoveList()->GetTable();
        // Game 1: 1.Nf3 d5 2.g3 Bg4 ... 1-0, 45 moves and the result.
        QCOMPARE(table->rowCount(), 46);
        QCOMPARE(table->item(0, 0)->text(), QString("1."));
        QCOMPARE(table->item(0, 1)->text(), QString("Nf3"));
        QCOMPARE(table->item(0, 2)->text(), QString("d5"));
        QCOMPARE(table->item(45, 1)->text(), QString("1-0"));
        QCOMPARE(currentText(table), QString()); // the start: no move yet

        frame.Commands().Execute(CmdForward);
        frame.Commands().Execute(CmdForward);
        frame.Commands().Execute(CmdForward);
        QCOMPARE(currentText(table), QString("g3"));
        QTest::keyClick(&frame, Qt::Key_End); // the keys step the board whatever has the focus
        QCOMPARE(gamePly, 89);
        QCOMPARE(currentText(table), table->item(44, 1)->text());
        QTest::keyClick(&frame, Qt::Key_Home);
        QCOMPARE(gamePly, 0);

        clickCell(table, 1, 2); // 2...Bg4
        QTRY_COMPARE(gamePly, 4);
        QCOMPARE(currentText(table), QString("Bg4"));
        // Past the table's positions the opening is named only when the setting keeps it.
        QVERIFY(frame.GetMoveList()->GetOpening()->text().isEmpty());
        doc.m_openingNames.keepLastNamed = true;
        doc.UpdateAllViews(nullptr, HintOpeningNames);
        QVERIFY(frame.GetMoveList()->GetOpening()->text().contains(QString::fromUtf8("以降")));
        doc.m_openingNames.keepLastNamed = false;

        // Research: a move off the game goes on indented rows of its own; a click on the game's
        // moves ends it.
        CNorvaneView* boardView = frame.GetBoardView();
        boardView->OnResearch();
        Move  moves[256];
        Move* end = genAllMoves(board.sideToMove, moves);
        Move* m   = moves;
        while (m < end && (leavesKingAttacked(*m) || m->fromTo == gameMoves[4].fromTo))
            ++m;
        QVERIFY(m < end);
        boardView->PlayChosenMove(*m);
        QCOMPARE(boardView->m_researchCount, 1);
        QCOMPARE(table->rowCount(), 47);
        QVERIFY(table->item(45, 1)->text().startsWith("  "));
        QCOMPARE(currentText(table), table->item(45, 1)->text().trimmed());
        clickCell(table, 0, 1); // 1.Nf3
        QTRY_COMPARE(gamePly, 1);
        QVERIFY(!(boardView->m_mode & ModeResearch));
        QCOMPARE(table->rowCount(), 46);
    }
};

NORVANE_TEST(MoveListTest);
#include "movelist_test.moc"
