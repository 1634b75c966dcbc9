// The game list's columns in the program: the default set at the default window size, the
// column menu, a tag column read in the background, and the choice kept in the settings.
#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "app/mainframe.h"
#include "app/norvaneapp.h"
#include "tests/app/testdoc.h"
#include "tests/passwait.h"
#include "tests/qtestmain.h"
#include "view/gamelistmodel.h"
#include "view/gameview.h"
#include "view/listviewex.h"

namespace {

class QuietApp : public CNorvaneApp {
public:
    void MessageBox(const QString&) override {}
};

// A game view whose tag question is answered by the test.
class TagAskingView : public CGameView {
public:
    using CGameView::CGameView;
    QString tag;
    QString AskTagName() override { return tag; }
    void    MessageBox(const QString&) override {}
};

// The headers in screen order.
QStringList shownHeaders(const CListViewEx* list) {
    QStringList        headers;
    const QHeaderView* header = list->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual)
        headers << list->model()->headerData(header->logicalIndex(visual), Qt::Horizontal).toString();
    return headers;
}

QAction* menuAction(QMenu* menu, const char* label) {
    for (QAction* action : menu->actions())
        if (action->text() == QString::fromUtf8(label)) return action;
    return nullptr;
}

} // namespace

class GameListColumnsTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_settings;

private slots:
    void initTestCase() {
        QVERIFY(m_settings.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    }
    void init() { QSettings("Norvane", "Norvane").clear(); }

    void theDefaultColumnsKeepTheirOrderAndWidthsAt680By400() {
        QuietApp app;
        QVERIFY(app.InitInstance({"norvane", data("catalogue-search.pgn")}));
        QVERIFY(waitForTask(app.GetDocument()->m_fileTask));
        CMainFrame& frame = *app.GetMainFrame();
        QCOMPARE(frame.size(), CMainFrame::WithListSize);
        const CListViewEx* list = frame.GetGameView()->GetList();
        QCOMPARE(shownHeaders(list), (QStringList{"white", "black", "result", "fm", "year", "eco"}));
        // The widths 80, 80, 60, 30, 40, 40, spread over the list's room when it is wider.
        const int widths[] = {80, 80, 60, 30, 40, 40};
        const int room     = list->viewport()->width();
        for (int column = 0; column < 5; ++column)
            QCOMPARE(list->columnWidth(column), room > 330 ? widths[column] * room / 330 : widths[column]);
    }

    void theMenuAddsColumnsATagIsReadAndTheChoiceIsKept() {
        TestDoc doc;
        QVERIFY(openFile(doc, data("catalogue-search.pgn")));
        ColumnLayout kept;
        {
            TagAskingView view(&doc);
            view.resize(600, 300);
            view.OnInitialUpdate();
            CGameListModel* model = view.GetModel();

            std::unique_ptr<QMenu> menu(view.MakeColumnMenu(nullptr));
            QVERIFY(menuAction(menu.get(), "白")->isChecked());
            QVERIFY(!menuAction(menu.get(), "白レート")->isChecked());
            menuAction(menu.get(), "白レート")->trigger();
            menuAction(menu.get(), "大会")->trigger();
            menuAction(menu.get(), "年")->trigger(); // hides the year
            view.tag = "Site";  // a tag the index keeps too: the two must agree
            menuAction(menu.get(), "その他のタグ(&O)...")->trigger();
            QCOMPARE(shownHeaders(view.GetList()),
                     (QStringList{"white", "black", "result", "fm", "eco", "白レート", "大会", "Site"}));
            QCOMPARE(model->index(0, model->ColumnOf({WhiteEloColumn, {}})).data().toString(), QString("2835"));
            QCOMPARE(model->index(0, model->ColumnOf({EventColumn, {}})).data().toString(),
                     QString("Tata Steel Masters"));
            // The tag's values arrive from the reader's thread for the rows asked for.
            const int site = model->ColumnOf({TagColumn, "Site"});
            for (int row = 0; row < model->rowCount(); ++row) model->index(row, site).data();
            QTRY_COMPARE(model->index(3, site).data().toString(), QString("London ENG"));
            QTRY_COMPARE(model->index(5, site).data().toString(), QString()); // no Site tag
            QTRY_COMPARE(model->index(9, site).data().toString(), QString("Oslo NOR"));

            // Sorting the tag column reads every value; rows without the tag last.
            model->sort(site, Qt::AscendingOrder);
            QCOMPARE(model->index(0, site).data().toString(), QString("Baden-Baden GER"));
            QCOMPARE(model->index(model->rowCount() - 1, site).data().toString(), QString());

            // A move and a dragged width are kept too.
            QHeaderView* header = view.GetList()->horizontalHeader();
            header->moveSection(header->visualIndex(model->ColumnOf({EventColumn, {}})), 0);
            header->resizeSection(model->ColumnOf({WhiteColumn, {}}), 123);
            kept = view.CurrentLayout();
            QCOMPARE(kept.columns.front().kind, EventColumn);
        }
        TagAskingView again(&doc);
        const ColumnLayout loaded = again.CurrentLayout();
        QVERIFY(loaded.columns == kept.columns);
        QCOMPARE(loaded.widths, kept.widths);
        QCOMPARE(loaded.widths[1], 123);
        QCOMPARE(shownHeaders(again.GetList()).front(), QString::fromUtf8("大会"));

        again.RestoreDefaultColumns();
        QCOMPARE(shownHeaders(again.GetList()), (QStringList{"white", "black", "result", "fm", "year", "eco"}));
        QVERIFY(loadColumnLayout().columns == defaultColumnLayout().columns);
    }

    void aTagValueIsReadFromTheTagSectionOnly() {
        struct Case {
            const char* text;
            const char* tag;
            const char* value;
        };
        const Case cases[] = {
            {"[Event \"A\"]\n[Annotator \"Kasparov, G\"]\n\n1. e4 *", "Annotator", "Kasparov, G"},
            {"[Event \"A\"]\n[annotator \"x\"]\n1. e4 *", "Annotator", "x"},     // name case folded
            {"[Event \"say \\\"hi\\\" ]\"]\n[Site \"s\"]", "Event", "say \"hi\" ]"}, // escapes, "]"
            {"[Event \"A\"]\n[Event \"B\"]", "Event", "A"},                         // the first counts
            {"[Event \"A\"]\n1. e4 {[Site \"no\"]} *", "Site", ""},                 // not in the moves
            {"", "Site", ""},
        };
        for (const Case& c : cases) QCOMPARE(tagValueOf(c.text, c.tag), std::string(c.value));
    }
};

NORVANE_TEST(GameListColumnsTest);
#include "gamelistcolumns_test.moc"
