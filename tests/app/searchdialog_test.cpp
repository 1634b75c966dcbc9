// The search dialog: its fields and refusals, what its values ask of the index, and what the
// document does with them (the last values kept, すべて表示, an empty search).
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <memory>

#include "app/commands.h"
#include "app/searchdialog.h"
#include "records/gamefilter.h"
#include "resources/dialogtexts.h"
#include "resources/searchtexts.h"
#include "tests/app/testdoc.h"
#include "tests/app/nextmodal.h"
#include "tests/qtestmain.h"

namespace {

template <class T>
T* child(QWidget* parent, int index = 0) {
    return parent->findChildren<T*>(QString(), Qt::FindDirectChildrenOnly).value(index);
}

QPushButton* button(QWidget* dialog, const char* label) {
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->text() == QString::fromUtf8(label)) return b;
    return nullptr;
}

// A search dialog that records its messages instead of showing them.
class QuietSearchDialog : public CSearchDialog {
public:
    QStringList messages;

protected:
    void ShowMessage(const QString& text) override { messages << text; }
};

// The controls in the order the dialog makes them (the name's edit belongs to its list).
enum LineEdits { EcoRangeEdit = 0, DateFromEdit, DateToEdit, EventEdit, SiteEdit };
enum Combos { NameCombo = 0, SideCombo, EcoCombo, EloOfCombo };
enum Spins { EloMinSpin = 0, EloMaxSpin, MovesMinSpin, MovesMaxSpin };

} // namespace

class SearchDialogTest : public QObject {
    Q_OBJECT
private slots:
    void theFieldsShowTheValuesAndGiveThemBack() {
        CSearchDialog dialog;
        QCOMPARE(child<QComboBox>(&dialog, EcoCombo)->count(), 501);
        QCOMPARE(child<QComboBox>(&dialog, EcoCombo)->itemText(1), QStringLiteral("A00 Polish (Sokolsky) opening"));
        QCOMPARE(child<QComboBox>(&dialog, NameCombo)->count(), 19);
        dialog.m_values.name     = "Carlsen";
        dialog.m_values.side     = BlackSide;
        dialog.m_values.yearFrom = 2011;
        dialog.m_values.dateTo   = "2012.06";
        dialog.m_values.eloMin   = 2600;
        dialog.m_values.eloOf    = BothRatings;
        dialog.m_values.drawn    = true;
        onNextModal<QDialog>([](QDialog* d) {
            QCOMPARE(child<QComboBox>(d, SideCombo)->currentIndex(), 2);
            QCOMPARE(child<QLineEdit>(d, DateFromEdit)->text(), QString("2011"));
            QCOMPARE(child<QLineEdit>(d, DateToEdit)->text(), QString("2012.06"));
            QCOMPARE(child<QSpinBox>(d, EloMinSpin)->value(), 2600);
            QCOMPARE(child<QComboBox>(d, EloOfCombo)->currentIndex(), 1);
            QVERIFY(child<QCheckBox>(d, 2)->isChecked());
            child<QComboBox>(d, NameCombo)->setEditText(QString(40, u'x')); // longer than 31
            child<QLineEdit>(d, EcoRangeEdit)->setText("b90 - b99");
            child<QLineEdit>(d, DateFromEdit)->setText("2012.03.01");
            child<QLineEdit>(d, EventEdit)->setText(" Tata ");
            child<QSpinBox>(d, MovesMaxSpin)->setValue(40);
            child<QCheckBox>(d, 3)->setChecked(true);
            QMetaObject::invokeMethod(d, "accept");
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        const SearchDialogValues& v = dialog.m_values;
        QCOMPARE(v.name, QString(31, u'x'));
        QCOMPARE(v.ecoRange, QString("B90-B99"));
        QCOMPARE(v.yearFrom, 0); // the date replaced the year
        QCOMPARE(v.dateFrom, QString("2012.03.01"));
        QCOMPARE(v.dateTo, QString("2012.06"));
        QCOMPARE(v.event, QString("Tata"));
        QCOMPARE(v.movesMax, 40);
        QVERIFY(v.drawn && v.samePosition && !v.whiteWon);
        QVERIFY(v.action == SearchAction::Search);
    }

    void boundsThatDoNotReadOrRunBackwardsAreRefused() {
        struct Case {
            const char* field; // what is typed
            int         edit;  // into which line edit, or -1 for the spin boxes' pair
            int         spinLow, spinHigh;
            const char* message;
        };
        const Case cases[] = {
            {"1990", DateFromEdit, -1, -1, nullptr}, // paired with 1980 below
            {"2012.13.01", DateFromEdit, -1, -1, SearchText::BadDate},
            {"12.03", DateToEdit, -1, -1, SearchText::BadDate},
            {"B99-B90", EcoRangeEdit, -1, -1, SearchText::BadEcoRange},
            {"Z10", EcoRangeEdit, -1, -1, SearchText::BadEcoRange},
            {"", -1, EloMinSpin, EloMaxSpin, SearchText::BadRatings},
            {"", -1, MovesMinSpin, MovesMaxSpin, SearchText::BadMoves},
        };
        for (const Case& c : cases) {
            QuietSearchDialog dialog;
            dialog.m_values.name = "kept";
            bool stayedOpen      = false;
            onNextModal<QDialog>([&](QDialog* d) {
                if (c.edit == DateFromEdit && !c.message) {
                    child<QLineEdit>(d, DateFromEdit)->setText("1990");
                    child<QLineEdit>(d, DateToEdit)->setText("1980");
                } else if (c.edit >= 0) {
                    child<QLineEdit>(d, c.edit)->setText(c.field);
                } else {
                    child<QSpinBox>(d, c.spinLow)->setValue(50);
                    child<QSpinBox>(d, c.spinHigh)->setValue(20);
                }
                child<QComboBox>(d, NameCombo)->setEditText("typed");
                QMetaObject::invokeMethod(d, "accept"); // refused: the dialog stays open
                stayedOpen = d->isVisible();
                QMetaObject::invokeMethod(d, "reject");
            });
            QCOMPARE(dialog.exec(), int(QDialog::Rejected));
            QVERIFY(stayedOpen);
            QCOMPARE(dialog.messages,
                     QStringList{QString::fromUtf8(c.message ? c.message : DialogText::BadYears)});
            QCOMPARE(dialog.m_values.name, QString("kept")); // nothing taken from a refused dialog
        }
    }

    void theRefusalIsABoxCaptionedNorvane() {
        CSearchDialog dialog;
        dialog.m_values.yearFrom = 2000;
        dialog.m_values.yearTo   = 1999;
        QString caption, message;
        onNextModal<CSearchDialog>([&](QDialog* d) {
            onNextModal<QMessageBox>([&](QMessageBox* box) {
                caption = box->windowTitle();
                message = box->text();
                box->accept();
                QTimer::singleShot(0, d, &QDialog::reject);
            });
            QMetaObject::invokeMethod(d, "accept");
        });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(caption, QStringLiteral("Norvane"));
        QCOMPARE(message, QString::fromUtf8("年が不正です"));
    }

    void theValuesBecomeTheFilter() {
        struct Case {
            const char*        what;
            SearchDialogValues values;
            SearchFilter       expected;
        };
        const auto values = [](auto set) {
            SearchDialogValues v;
            set(v);
            return v;
        };
        const auto filter = [](auto set) {
            SearchFilter f = emptyFilter();
            set(f);
            return f;
        };
        const Case cases[] = {
            {"nothing", {}, emptyFilter()},
            {"name and side",
             values([](SearchDialogValues& v) { v.name = "Carlsen", v.side = BlackSide; }),
             filter([](SearchFilter& f) { std::strcpy(f.name, "Carlsen"), f.side = BlackSide; })},
            {"year alone and date",
             values([](SearchDialogValues& v) { v.yearFrom = 2011, v.dateTo = "2012.06"; }),
             filter([](SearchFilter& f) { f.yearFrom = 2011, f.dateTo = 20120631; })},
            {"dates", values([](SearchDialogValues& v) { v.dateFrom = "2012.03.01", v.dateTo = "2012.06.30"; }),
             filter([](SearchFilter& f) { f.dateFrom = 20120301, f.dateTo = 20120630; })},
            {"ratings of the player",
             values([](SearchDialogValues& v) { v.eloMin = 2600, v.eloMax = 2800, v.eloOf = PlayerRating; }),
             filter([](SearchFilter& f) { f.eloMin = 2600, f.eloMax = 2800, f.eloOf = PlayerRating; })},
            {"event, site, ECO range, moves",
             values([](SearchDialogValues& v) {
                 v.event = "Tata", v.site = "Wijk", v.ecoRange = "B90-B99", v.movesMin = 20, v.movesMax = 60;
             }),
             filter([](SearchFilter& f) {
                 std::strcpy(f.event, "Tata"), std::strcpy(f.site, "Wijk");
                 f.ecoFrom = 190, f.ecoTo = 199, f.movesMin = 20, f.movesMax = 60;
             })},
            {"results and one ECO",
             values([](SearchDialogValues& v) { v.whiteWon = v.drawn = true, v.ecoItem = 101; }),
             filter([](SearchFilter& f) { f.resultMask = WhiteWon | Drawn, f.eco = 100; })},
        };
        for (const Case& c : cases) {
            const SearchFilter got = searchFilterOf(searchCriteriaOf(c.values));
            QVERIFY2(std::memcmp(&got, &c.expected, sizeof got) == 0, c.what);
        }
        QVERIFY(filterIsEmpty(searchFilterOf(searchCriteriaOf({}))));
    }

    void anEmptySearchAndShowAllShowEveryGameAndTheValuesAreKept() {
        TestDoc doc;
        QVERIFY(openFile(doc, data("catalogue-search.pgn")));
        const auto shown = [&doc] {
            int count = 0;
            for (const GameEntry& e : doc.m_games) count += (e.info & Matched) != 0;
            return count;
        };
        doc.search.name   = "carlsen";
        doc.search.side   = BlackSide;
        doc.search.eloMin = 2800;
        doc.search.eloOf  = PlayerRating;
        doc.OnSearch();
        QCOMPARE(shown(), 2); // aronian-carlsen 2835 and naiditsch-carlsen 2826
        QCOMPARE(doc.GetPaneText(PaneGameCount), QString("2 / 11"));
        QCOMPARE(doc.m_lastSearch.eloMin, 2800); // what the dialog shows next time

        doc.search.action = SearchAction::ShowAll;
        doc.OnSearch();
        QCOMPARE(shown(), 11);
        QCOMPARE(doc.GetPaneText(PaneGameCount), QString("11"));

        doc.search        = SearchDialogValues{};
        doc.search.event  = "club";
        doc.OnSearch();
        QCOMPARE(shown(), 2);
        doc.search = SearchDialogValues{}; // every field empty
        doc.OnSearch();
        QCOMPARE(shown(), 11);
        QVERIFY(doc.messages.isEmpty());
    }

    void thePlayerButtonAsksForTheRecordOfTheName() {
        QuietSearchDialog dialog;
        onNextModal<QDialog>([](QDialog* d) {
            child<QComboBox>(d, NameCombo)->setEditText("");
            button(d, SearchText::PlayerRecord)->click(); // no name: refused
            child<QComboBox>(d, NameCombo)->setEditText("Carlsen");
            button(d, SearchText::PlayerRecord)->click();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(dialog.messages, QStringList{QString::fromUtf8(SearchText::NoName)});
        QVERIFY(dialog.m_values.action == SearchAction::PlayerRecord);
        QCOMPARE(dialog.m_values.name, QString("Carlsen"));

        onNextModal<QDialog>([](QDialog* d) { button(d, SearchText::ShowAll)->click(); });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(dialog.m_values.action == SearchAction::ShowAll);
    }
};

NORVANE_TEST(SearchDialogTest);
#include "searchdialog_test.moc"
