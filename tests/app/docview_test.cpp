#include <QAction>
#include <QEventLoop>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "app/docview.h"
#include "tests/qtestmain.h"

namespace {

// A view that records what it heard.
class RecordingView : public CView {
public:
    std::vector<int> hints;
    int              initialUpdates = 0;
    void             OnInitialUpdate() override { ++initialUpdates; }
    void             OnUpdate(CView*, int hint) override { hints.push_back(hint); }
};

// A document whose open fails on request.
class TestDocument : public CDocument {
public:
    bool refuseOpen = false;
    int  deletes    = 0;
    void DeleteContents() override { ++deletes; }
    void OnOpenDocument(const QString& path) override {
        if (!refuseOpen) return CDocument::OnOpenDocument(path);
        DeleteContents();
        EndOpen(path, false);
    }
};

} // namespace

class DocViewTest : public QObject {
    Q_OBJECT
private slots:
    void updateReachesEveryViewButTheSender() {
        TestDocument  document;
        RecordingView a, b, c;
        for (CView* view :
             {static_cast<CView*>(&a), static_cast<CView*>(&b), static_cast<CView*>(&c)})
            document.AddView(view);
        document.UpdateAllViews(&b, 7);
        document.UpdateAllViews(nullptr, 2);
        QCOMPARE(a.hints, (std::vector<int>{7, 2}));
        QCOMPARE(b.hints, (std::vector<int>{2}));
        QCOMPARE(c.hints, (std::vector<int>{7, 2}));
        QCOMPARE(a.GetDocument(), &document);
    }

    void aDestroyedViewLeavesItsDocument() {
        TestDocument document;
        {
            RecordingView gone;
            document.AddView(&gone);
        }
        QVERIFY(document.GetViews().empty());
        document.UpdateAllViews(nullptr, 1); // reaches nothing, and does not crash
    }

    void newAndOpenClearThenUpdateTheViewsOnlyOnSuccess() {
        TestDocument  document;
        RecordingView view;
        document.AddView(&view);
        QSignalSpy    ended(&document, &CDocument::openEnded);
        document.OpenDocumentFile("games.pgn");
        QCOMPARE(ended.takeFirst().at(0).toBool(), true);
        QCOMPARE(document.GetPathName(), QString("games.pgn"));
        QCOMPARE(view.initialUpdates, 1);
        document.refuseOpen = true;
        document.OpenDocumentFile("other.pgn");
        QCOMPARE(ended.takeFirst().at(0).toBool(), false);
        QCOMPARE(view.initialUpdates, 1);
        QCOMPARE(document.GetPathName(), QString("games.pgn"));
        document.SetModifiedFlag();
        QVERIFY(document.NewDocumentFile());
        QVERIFY(document.GetPathName().isEmpty());
        QVERIFY(!document.IsModified());
        QCOMPARE(view.initialUpdates, 2);
        QCOMPARE(document.deletes, 3);
    }

    void commandsFollowTheirRules() {
        CCommandTable table;
        bool          enabled = false, ticked = false;
        int           runs  = 0;
        QAction*      plain = table.Add(1, [&] { ++runs; });
        QAction*      ruled = table.Add(
                 2, [&] { ++runs; }, [&] { return enabled; }, [&] { return ticked; });
        table.UpdateCommandUI();
        QVERIFY(plain->isEnabled());
        QVERIFY(!ruled->isEnabled());
        QVERIFY(!table.Execute(2));
        QVERIFY(!table.Execute(99));
        QCOMPARE(runs, 0);

        // The rules run when the event loop is about to wait.
        enabled = ticked = true;
        QEventLoop idle;
        QTimer::singleShot(20, &idle, &QEventLoop::quit);
        idle.exec();
        QVERIFY(ruled->isEnabled());
        QVERIFY(ruled->isChecked());

        // A triggered checkable action keeps the tick its rule gives.
        ruled->trigger();
        QCOMPARE(runs, 1);
        QVERIFY(ruled->isChecked());
        QCOMPARE(table.Action(1), plain);
        QCOMPARE(plain->data().toInt(), 1);

        // A menu runs the rules as it opens.
        enabled = false;
        QMenu menu;
        menu.addAction(ruled);
        table.WatchMenu(&menu);
        emit menu.aboutToShow();
        QVERIFY(!ruled->isEnabled());
    }
};

NORVANE_TEST(DocViewTest);
#include "docview_test.moc"
