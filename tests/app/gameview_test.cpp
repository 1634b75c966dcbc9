#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>

#include <algorithm>
#include <string>

#include "app/commands.h"
#include "records/game.h"
#include "records/gamefilter.h"
#include "records/pgnread.h"
#include "resources/studytexts.h"
#include "tests/app/testdoc.h"
#include "tests/qtestmain.h"
#include "view/gamelistmodel.h"
#include "view/gameview.h"
#include "view/norvaneview.h"
#include "view/listviewex.h"
#include "view/recordtext.h"

namespace {

// A list whose message boxes are recorded.
class TestGameView : public CGameView {
public:
    using CGameView::CGameView;
    QStringList messages;
    void        MessageBox(const QString& text) override { messages << text; }
};

// Four short games whose every column orders them differently, the last one longer than
// 8 KB with Japanese text in its comment.
QByteArray fixtureGames() {
    QByteArray text;
    const auto game = [&text](const char* white, const char* black, const char* date,
                              const char* eco, const char* result, const QByteArray& moves) {
        text += QByteArray("[Event \"Fixture\"]\n[White \"") + white + "\"]\n[Black \"" + black +
                "\"]\n[Date \"" + date + "\"]\n";
        if (*eco) text += QByteArray("[ECO \"") + eco + "\"]\n";
        text += QByteArray("[Result \"") + result + "\"]\n\n" + moves + " " + result + "\n\n";
    };
    game("bravo", "Zulu", "1975.01.01", "C20", "1-0", "1. e4 e5 2. Nf3 Nc6 3. Bb5");
    game("Alpha", "yankee", "1999.??.??", "B01", "0-1", "1. e4");
    game("charlie", "Xray", "2010.05.05", "", "1/2-1/2", "1. d4 d5 2. c4");
    QByteArray comment = "{";
    while (comment.size() < 10000) comment += "長考 ";
    game("Delta", "whiskey", "1980.02.02", "A00", "*", "1. a3 " + comment + "} a6 2. b3 b6 3. c3 c6 4. d3");
    return text;
}

QStringList whites(const CGameListModel& model) {
    QStringList names;
    for (int row = 0; row < model.rowCount(); ++row)
        names << model.data(model.index(row, ColumnWhite)).toString();
    return names;
}

} // namespace

class GameViewTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString       m_path;

private slots:
    void initTestCase() {
        m_path = m_dir.filePath("fixture.pgn");
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(fixtureGames());
    }

    void rowsFollowTheSearchAndTheFirstIsSelected() {
        TestDoc      doc;
        TestGameView view(&doc);
        QVERIFY(openFile(doc, m_path));
        CGameListModel& model = *view.GetModel();
        QCOMPARE(whites(model), QStringList({"bravo", "Alpha", "charlie", "Delta"}));
        QCOMPARE(model.data(model.index(1, ColumnYear)).toString(), QString("1999"));
        QCOMPARE(model.data(model.index(2, ColumnEco)).toString(), QString());
        QCOMPARE(model.data(model.index(2, ColumnResult)).toString(), QString("1/2-1/2"));
        QCOMPARE(view.SelectedEntry(), &doc.m_games[0]);

        doc.search.name = "ALPHA"; // either player, any case
        doc.OnSearch();
        QCOMPARE(whites(model), QStringList({"Alpha"}));
        QCOMPARE(view.SelectedEntry(), &doc.m_games[1]);
        QCOMPARE(doc.GetPaneText(PaneGameCount), QString("1 / 4"));

        // Nothing matches: it says so, and the list, its count and the criteria stay.
        doc.search.name = "nobody";
        doc.OnSearch();
        QCOMPARE(doc.messages, QStringList({QString::fromUtf8(StudyText::NoMatch)}));
        QCOMPARE(whites(model), QStringList({"Alpha"}));
        QCOMPARE(view.SelectedEntry(), &doc.m_games[1]);
        QCOMPARE(doc.GetPaneText(PaneGameCount), QString("1 / 4"));
        QCOMPARE(QString(doc.m_filter.name), QString("ALPHA"));

        // No selection: Enter does nothing.
        view.GetList()->selectionModel()->clear();
        HintView boardView;
        doc.AddView(&boardView);
        QTest::keyClick(view.GetList(), Qt::Key_Return);
        QVERIFY(boardView.hints.empty());

        doc.OnReload();
        QCOMPARE(model.rowCount(), 4);
        QCOMPARE(doc.GetPaneText(PaneGameCount), QString("4"));
        doc.m_games[3].info |= Unreadable;
        QCOMPARE(model.data(model.index(3, ColumnMoves)).toString(), QString("4?"));
    }

    void aHeaderClickSortsAscendingByItsColumn() {
        TestDoc      doc;
        TestGameView view(&doc);
        QVERIFY(openFile(doc, m_path));
        struct Case {
            int         column;
            QStringList order;
        };
        const Case cases[] = {
            {ColumnWhite, {"Alpha", "bravo", "charlie", "Delta"}},  // case folded
            {ColumnBlack, {"Delta", "charlie", "Alpha", "bravo"}},  // whiskey Xray yankee Zulu
            {ColumnResult, {"Delta", "bravo", "Alpha", "charlie"}}, // * 1-0 0-1 1/2-1/2
            {ColumnMoves, {"Alpha", "charlie", "bravo", "Delta"}},  // 1 2 3 4
            {ColumnYear, {"bravo", "Delta", "Alpha", "charlie"}},   // 1975 1980 1999 2010
            {ColumnEco, {"Delta", "Alpha", "bravo", "charlie"}},    // A00 B01 C20, none last
        };
        QHeaderView* header = view.GetList()->horizontalHeader();
        view.resize(400, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        for (const Case& c : cases) {
            const int x = header->sectionViewportPosition(c.column) + 5;
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
            QCOMPARE(whites(*view.GetModel()), c.order);
            QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
            QStringList descending = c.order; // every key differs here
            std::reverse(descending.begin(), descending.end());
            QCOMPARE(whites(*view.GetModel()), descending);
            QVERIFY(header->isSortIndicatorShown());
            QCOMPARE(header->sortIndicatorSection(), c.column);
            QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        }
    }

    void theGameOnTheBoardKeepsItsRowAcrossSortSearchAndReload() {
        TestDoc      doc;
        TestGameView view(&doc);
        QVERIFY(openFile(doc, m_path));
        view.resize(300, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QHeaderView* header = view.GetList()->horizontalHeader();
        const auto   clickWhite = [header] {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                                QPoint(header->sectionViewportPosition(ColumnWhite) + 5, 5));
        };
        view.GetList()->selectRow(2);
        view.LoadRow(2); // charlie
        clickWhite();
        clickWhite(); // descending: Delta charlie bravo Alpha
        QCOMPARE(view.SelectedEntry(), &doc.m_games[2]);
        QCOMPARE(view.GetList()->currentIndex().row(), 1);

        // A search loads its first match (in file order): its row in the sorted list is chosen.
        doc.search.yearFrom = 1980;
        doc.OnSearch();
        QCOMPARE(whites(*view.GetModel()), QStringList({"Delta", "charlie", "Alpha"}));
        QCOMPARE(view.SelectedEntry(), &doc.m_games[1]);
        doc.OnReload(); // the first game, in the sorted list
        QCOMPARE(whites(*view.GetModel()), QStringList({"Delta", "charlie", "bravo", "Alpha"}));
        QCOMPARE(view.SelectedEntry(), &doc.m_games[0]);

        // A wider list shares its room among the columns.
        CListViewEx* list   = view.GetList();
        const int    before = list->columnWidth(ColumnWhite);
        view.resize(600, 200);
        QTRY_VERIFY(list->columnWidth(ColumnWhite) > before);
        int total = 0;
        for (int c = 0; c < ColumnCount; ++c)
            total += list->columnWidth(c);
        QVERIFY(total >= list->viewport()->width() - ColumnCount);
    }

    void enterAndDoubleClickLoadTheGameUnlessAReplayRuns() {
        TestDoc      doc;
        CNorvaneView boardPane(&doc); // its replay is what the list waits for
        TestGameView view(&doc);
        HintView     boardView;
        doc.AddView(&boardView);
        QVERIFY(openFile(doc, m_path));
        view.resize(400, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        CListViewEx* list = view.GetList();
        view.GetModel()->sort(ColumnMoves);

        boardView.hints.clear();
        list->setCurrentIndex(view.GetModel()->index(1, 0)); // charlie, 2 moves
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(QString(gameHeader.white), QString("charlie"));
        // The board view passes on hints of its own; the list's choices are counted.
        const auto chosen = [&] {
            return std::count(boardView.hints.begin(), boardView.hints.end(), HintGameChosen);
        };
        QCOMPARE(chosen(), 1);

        const QPoint bravo = list->visualRect(view.GetModel()->index(2, 1)).center();
        boardPane.m_mode |= ModeReplaying;
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, bravo);
        QCOMPARE(QString(gameHeader.white), QString("charlie"));
        QTest::keyClick(list, Qt::Key_Enter);
        QCOMPARE(chosen(), 1);

        boardPane.m_mode &= ~ModeReplaying;
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, bravo);
        QCOMPARE(QString(gameHeader.white), QString("bravo"));
        QCOMPARE(gameMoves[4].piece, std::int16_t(Bishop));
        QCOMPARE(chosen(), 2);
    }

    void showAndCopyTheGameText() {
        TestDoc       doc;
        TestGameView  view(&doc);
        CCommandTable table;
        view.AddCommands(table);
        QVERIFY(openFile(doc, m_path));
        view.GetList()->setCurrentIndex(view.GetModel()->index(3, 0)); // the long game
        std::string whole;
        readGameText(doc.m_file, &doc.m_games[3], whole);
        QVERIFY(whole.size() > 10000);
        const Board before = board;

        QVERIFY(table.Execute(CmdCopyGameText));
        const QString copied = QApplication::clipboard()->text();
        QCOMPARE(copied, QString::fromUtf8(whole.data(), qsizetype(whole.size())));
        QVERIFY(copied.endsWith("4. d3 *"));

        QVERIFY(table.Execute(CmdShowGameText));
        QCOMPARE(view.messages.size(), 1);
        QVERIFY(view.messages[0].startsWith("[Event \"Fixture\"]\n[White \"Delta\"]"));
        QVERIFY(view.messages[0].toUtf8().size() <= GameTextShowLimit);
        QVERIFY(copied.startsWith(view.messages[0]));
        QVERIFY(board == before);

        // A right click on a row opens menu 164 with both commands, then 選手情報 of the row's
        // players, the one under the mouse first.
        view.resize(400, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QStringList items;
        QTimer::singleShot(50, [&items] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (QAction* action : menu->actions()) items << action->text();
                menu->close();
            }
        });
        CListViewEx* list = view.GetList();
        emit list->customContextMenuRequested(list->visualRect(view.GetModel()->index(0, 0)).center());
        const QString white = view.GetModel()->index(0, 0).data().toString();
        const QString black = view.GetModel()->index(0, 1).data().toString();
        QCOMPARE(items, QStringList({"テキストで表示", "テキストのコピー", "", "選手情報: " + white,
                                     "選手情報: " + black}));

        // No selection: both are disabled.
        view.GetList()->selectionModel()->clear();
        table.UpdateCommandUI();
        QVERIFY(!table.Action(CmdCopyGameText)->isEnabled());
        QVERIFY(!table.Action(CmdShowGameText)->isEnabled());
    }

    void aCutTextNeverEndsInHalfACharacter() {
        const std::string as(1278, 'a');
        struct Case {
            std::string text;
            QString     shown;
        };
        const Case cases[] = {
            {as + "\xC3\xA9" + "b", QString::fromStdString(as)},       // UTF-8 é across the cut
            {as + "\x82\xA0\x82\xA2", QString::fromStdString(as)},     // Shift_JIS あい
            {as + "\xE9" + "bc", QString::fromStdString(as + "\xC3\xA9")}, // Latin-1 é: one byte
            {"short", "short"},
        };
        for (const Case& c : cases)
            QCOMPARE(recordTextPrefix(c.text, GameTextShowLimit), c.shown);
    }
};

NORVANE_TEST(GameViewTest);
#include "gameview_test.moc"
