// The move list beside the board: it follows stepping, keys and research, and a click on a
// move shows its position.
#include <QLabel>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "app/commands.h"
#include "app/mainframe.h"
#include "engine/makemove.h"
#include "engine/movegen.h"
#include "tests/app/testdoc.h"
#include "tests/common/playsan.h"
#include "tests/qtestmain.h"
#include "view/explorer.h"
#include "view/movelist.h"
#include "view/norvaneview.h"

namespace {

QString currentText(const QTableWidget* table) {
    const QTableWidgetItem* item = table->currentItem();
    return item && item->isSelected() ? item->text().trimmed() : QString();
}

// Each row as its cells' texts, trimmed and joined by a space; a row of running text as its
// plain text.
QStringList rowTexts(const QTableWidget* table) {
    QStringList rows;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (const auto* label = qobject_cast<const QLabel*>(table->cellWidget(row, 0))) {
            rows << label->accessibleName();
            continue;
        }
        QStringList cells;
        for (int column = 0; column < 3; ++column)
            if (const QTableWidgetItem* item = table->item(row, column))
                if (!item->text().trimmed().isEmpty()) cells << item->text().trimmed();
        rows << cells.join(' ');
    }
    return rows;
}

void clickCell(QTableWidget* table, int row, int column) {
    table->scrollToItem(table->item(row, column));
    const QRect rect = table->visualItemRect(table->item(row, column));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, rect.center());
}

// The row of running text that holds text, and the link of the move text there.
int paragraphWith(const QTableWidget* table, const QString& text, QString* link = nullptr) {
    for (int row = 0; row < table->rowCount(); ++row)
        if (const auto* label = qobject_cast<const QLabel*>(table->cellWidget(row, 0)))
            if (label->accessibleName().contains(text)) {
                if (link) {
                    const QRegularExpression anchor("href=\"([^\"]*)\"[^>]*>" +
                                                    QRegularExpression::escape(text.toHtmlEscaped()) + "<");
                    *link = anchor.match(label->text()).captured(1);
                }
                return row;
            }
    return -1;
}

} // namespace

class MoveListTest : public QObject {
    Q_OBJECT

private slots:
    void theListFollowsTheBoardAndAClickGoesToTheMove() {
        TestDoc    doc;
        CMainFrame frame(&doc);
        frame.LoadFrame();
        QVERIFY(openFile(doc, data("kasparov-deep-blue-1997.pgn")));
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

        // Research: a move off the game stands in brackets where it leaves it; a click on the game's
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
        // The research line stands under the move it replaces (3.e3 of the game's third row).
        // The row of 3.b3 ... Nd7 splits around it: one row for the line, one for Black's reply.
        QCOMPARE(table->rowCount(), 48);
        QVERIFY(qobject_cast<QLabel*>(table->cellWidget(3, 0)));
        QVERIFY(rowTexts(table)[3].startsWith("(3. "));
        clickCell(table, 0, 1); // 1.Nf3
        QTRY_COMPARE(gamePly, 1);
        QVERIFY(!(boardView->m_mode & ModeResearch));
        QCOMPARE(table->rowCount(), 46);
    }

    // Main-line comments stand in rows of their own (without the clock and evaluation
    // commands), glyphs after their moves; side lines as running text in brackets under the
    // move they branch from, nested ones in paragraphs one level deeper. A click on a side-line
    // move shows it in research, → and ← step along its line to its end and back to the move
    // where it leaves the game.
    void commentsGlyphsAndSideLinesReadLikeABook() {
        TestDoc    doc;
        CMainFrame frame(&doc);
        frame.LoadFrame();
        QVERIFY(openFile(doc, data("lichess-annotated.pgn")));
        frame.GetSideTabs()->setCurrentWidget(frame.GetMoveList());
        frame.resize(680, 400);
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        QTableWidget* table = frame.GetMoveList()->GetTable();
        const QStringList lichess = rowTexts(table);
        QCOMPARE(lichess.mid(0, 4),
                 (QStringList{"1. e4 c5", "2. Nf3 Nc6", "3. Bb5 g6",
                              "B31 Sicilian Defense: Nyezhmetdinov-Rossolimo Attack, "
                              "Fianchetto Variation"}));
        QCOMPARE(lichess[4], QString("4. d4 Bg7?!"));
        QCOMPARE(lichess.mid(lichess.size() - 3),
                 (QStringList{"21. g4#", "White wins by checkmate.", "1-0"}));

        QVERIFY(openFile(doc, data("nested-variations.pgn")));
        QVERIFY(doc.LoadGame(&doc.m_games[2]));
        doc.UpdateAllViews(nullptr, HintReloadGame);
        const QStringList rows = rowTexts(table);
        QCOMPARE(rows.mid(0, 7), (QStringList{"1. e4 c5", "2. d4 cxd4", "3. c3 d3", "4. Bxd3 Nc6",
                                              "chapter 3 main line move comment", "5. Nf3 g6",
                                              "6. O-O"}));
        QCOMPARE(rows[7], QString("(6. c4 Bg7 chapter 3 variation 1 comment 7. O-O)"));
        QCOMPARE(rows.mid(8, 2), (QStringList{"6. Bg7", "7. Qe2 d6"}));
        QVERIFY(rows[10].startsWith("(7... Nf6 8. Rd1 chapter 3 variation 2 comment 8... O-O"));
        QVERIFY(rows[11].startsWith("(8... d6 9. e5 dxe5 chapter 3 nested variation comment"));
        const int deepest = paragraphWith(table, "10... Qxd1+");
        QVERIFY(deepest > 11);
        QVERIFY(rowTexts(table)[deepest].contains("11. Qxd1)"));
        // Deeper lines are indented further.
        const auto indent = [&](int row) {
            return qobject_cast<QLabel*>(table->cellWidget(row, 0))->contentsMargins().left();
        };
        QVERIFY(indent(10) < indent(11));
        QVERIFY(indent(11) < indent(deepest));
        QVERIFY(rows.contains("8. Rd1 Qc7"));

        QString link;
        paragraphWith(table, "10... Qxd1+", &link);
        QVERIFY(link.startsWith("p:"));
        emit qobject_cast<QLabel*>(table->cellWidget(deepest, 0))->linkActivated(link);
        CNorvaneView* boardView = frame.GetBoardView();
        QTRY_COMPARE(boardView->m_researchCount, 7); // 7...Nf6 to 10...Qxd1+
        QVERIFY(boardView->m_mode & ModeResearch);
        QCOMPARE(gamePly, 13);
        QCOMPARE(rowTexts(table).size(), rows.size()); // the side line is not listed a second time
        const Board shown = board;
        const Move  first = gameMoves[0]; // setting up the start ends the game's list there
        QVERIFY(playSan("e4 c5 d4 cxd4 c3 d3 Bxd3 Nc6 Nf3 g6 O-O Bg7 Qe2 "
                        "Nf6 Rd1 d6 e5 dxe5 Bxg6 Qxd1+"));
        QCOMPARE(board.hashKey, shown.hashKey);
        board        = shown;
        gameMoves[0] = first;
        // → to the line's end (11.Qxd1), and no further.
        frame.Commands().Execute(CmdForward);
        QCOMPARE(boardView->m_researchCount, 8);
        frame.Commands().Execute(CmdForward);
        QCOMPARE(boardView->m_researchCount, 8);
        // ← back to where the line leaves the game.
        for (int i = 0; i < 8; ++i)
            frame.Commands().Execute(CmdBack);
        QCOMPARE(boardView->m_researchCount, 0);
        QCOMPARE(gamePly, 13);

        const int main = static_cast<int>(rowTexts(table).indexOf("8. Rd1 Qc7"));
        clickCell(table, main, 1); // 8.Rd1 of the game: research ends
        QTRY_COMPARE(gamePly, 15);
        QVERIFY(!(boardView->m_mode & ModeResearch));
        QCOMPARE(currentText(table), QString("Rd1"));
    }
};

NORVANE_TEST(MoveListTest);
#include "movelist_test.moc"
