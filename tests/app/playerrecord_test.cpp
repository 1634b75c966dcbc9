// 選手情報 over tests/data/catalogue-search.pgn: the totals of the player chosen by a text, and
// the clicks on a year's bar and on an opening listing those games.
#include <QCheckBox>
#include <QTableWidget>
#include <QTest>

#include "app/commands.h"
#include "tests/app/testdoc.h"
#include "tests/passwait.h"
#include "tests/qtestmain.h"
#include "view/gamelistmodel.h"
#include "view/gameview.h"
#include "view/playerrecordcharts.h"
#include "view/playerrecordview.h"

namespace {

class QuietGameView : public CGameView {
public:
    using CGameView::CGameView;
    QStringList messages;
    void        MessageBox(const QString& text) override { messages << text; }
};

// A row of a table as its texts.
QStringList rowTexts(const QTableWidget* table, int row) {
    QStringList texts;
    for (int column = 0; column < table->columnCount(); ++column)
        texts << (table->item(row, column) ? table->item(row, column)->text() : QString());
    return texts;
}

QStringList listedWhites(const CGameListModel& model) {
    QStringList whites;
    for (int row = 0; row < model.rowCount(); ++row) whites << model.index(row, 0).data().toString();
    return whites;
}

} // namespace

class PlayerRecordTest : public QObject {
    Q_OBJECT
private slots:
    void theTotalsOfThePlayerAndClicksListTheirGames() {
        TestDoc doc;
        QVERIFY(openFile(doc, data("catalogue-search.pgn")));
        QuietGameView view(&doc);
        view.OnInitialUpdate();

        // Part of a name: the player holding it with the most games; the others are offered.
        view.ShowPlayerRecordOf("carlsen");
        CPlayerRecordWindow* record = view.GetPlayerRecord();
        QVERIFY(record && record->isVisible());
        QVERIFY(record->windowTitle().endsWith("Carlsen, Magnus"));
        const QTableWidget* totals = record->Totals();
        QCOMPARE(rowTexts(totals, 0), (QStringList{"白番", "3", "3", "0", "0", "3", "100%"}));
        QCOMPARE(rowTexts(totals, 1), (QStringList{"黒番", "2", "0", "1", "0", "0.5", "50%"}));
        QCOMPARE(rowTexts(totals, 2), (QStringList{"合計", "5", "3", "1", "0", "3.5", "88%"}));
        QCOMPARE(record->Openings(1)->rowCount(), 2); // A00 (unfinished) and D37
        QCOMPARE(record->Beaten()->item(0, 0)->text(), QString("Aronian, Levon"));

        // A name typed whole is that player, whatever its case.
        view.ShowPlayerRecordOf("CARLSEN, MAGNUS");
        QCOMPARE(rowTexts(record->Totals(), 2).mid(0, 5), (QStringList{"合計", "1", "1", "0", "0"}));
        view.ShowPlayerRecordOf("Carlsen, Magnus");

        // A year's bar lists the player's games of that year.
        CYearResultsChart* years = record->YearChart();
        years->resize(300, 120);
        QTest::mouseClick(years, Qt::LeftButton, {}, years->BarCentre(2011));
        CGameListModel& model = *view.GetModel();
        QCOMPARE(listedWhites(model), QStringList{"Naiditsch, Arkadij"});
        QCOMPARE(doc.GetPaneText(PaneGameCount), QString("1 / 11"));
        QTest::mouseClick(years, Qt::LeftButton, {}, years->BarCentre(2012));
        QCOMPARE(model.rowCount(), 4);

        // An opening's row lists the player's games of that side and code.
        QTableWidget* white = record->Openings(0);
        QCOMPARE(white->rowCount(), 3);
        const int row = white->findItems("E20", Qt::MatchExactly).value(0)->row();
        emit white->cellClicked(row, 0);
        QCOMPARE(listedWhites(model), QStringList{"Carlsen, Magnus"});
        QCOMPARE(model.EntryAt(0)->number, 7u);

        // Only the games the list shows, when asked: the record of that one game.
        QCheckBox* matchedOnly = record->findChild<QCheckBox*>();
        matchedOnly->setChecked(true);
        QCOMPARE(record->Record().all.games, 1);

        // No player holds the text: a message, and the record stays.
        view.ShowPlayerRecordOf("Kasparov");
        QCOMPARE(view.messages.size(), 1);
        QCOMPARE(record->Record().all.games, 1);
        QVERIFY(doc.messages.isEmpty());
    }
};

NORVANE_TEST(PlayerRecordTest);
#include "playerrecord_test.moc"
