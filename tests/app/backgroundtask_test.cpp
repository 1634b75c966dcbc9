// Work in the background: the task's start, progress, cancel and end on the window's thread,
// the status bar's pane with several pieces of work, and the window while a pass over the file
// runs.
#include <QAction>
#include <QFileInfo>
#include <QSettings>
#include <QSignalSpy>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <QToolButton>

#include <atomic>

#include "app/backgroundtask.h"
#include "app/commands.h"
#include "app/mainframe.h"
#include "app/norvaneapp.h"
#include "resources/studytexts.h"
#include "tests/app/testdoc.h"
#include "tests/qtestmain.h"
#include "view/explorer.h"
#include "view/gamelistmodel.h"
#include "view/gameview.h"
#include "view/progresspane.h"

namespace {

// The application with its message boxes recorded.
class QuietApp : public CNorvaneApp {
public:
    QStringList messages;
    void        MessageBox(const QString& text) override { messages << text; }
};

// Work that reports half of its 1000 bytes, then waits for its stop.
void halfThenWait(PassControl& control) {
    control.advance(500);
    while (!control.stopped())
        QThread::yieldCurrentThread();
}

} // namespace

class BackgroundTaskTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QSettings("Norvane", "Norvane").clear(); }

    // The work runs on another thread; its end, with what it wrote, comes on this one.
    void theEndComesOnTheWindowsThreadAfterTheWork() {
        CBackgroundTask task;
        QSignalSpy      running(&task, &CBackgroundTask::runningChanged);
        QSignalSpy      finished(&task, &CBackgroundTask::finished);
        Qt::HANDLE      worker = nullptr, ended = nullptr;
        int             result = 0, seen = -1;
        QVERIFY(task.Start("work", 0, [&](PassControl&) {
            worker = QThread::currentThreadId();
            result = 42;
        }, [&](bool completed) {
            QVERIFY(completed);
            ended = QThread::currentThreadId();
            seen  = result;
        }));
        QVERIFY(task.IsRunning());
        QVERIFY(!task.Start("other", 0, [](PassControl&) {})); // one at a time
        QVERIFY(finished.wait(BackgroundWaitMs));
        QVERIFY(!task.IsRunning());
        QCOMPARE(seen, 42);
        QCOMPARE(ended, QThread::currentThreadId());
        QVERIFY(worker != ended);
        QCOMPARE(running.size(), 2);
        QCOMPARE(finished.takeFirst().at(0).toBool(), true);
    }

    // Progress reaches the pane and the signal; the pane's button cancels; the end says so.
    void progressShowsAndTheCancelButtonStopsTheWork() {
        CProgressPane   pane;
        CBackgroundTask task;
        task.SetProgressPane(&pane);
        QSignalSpy progressed(&task, &CBackgroundTask::progressed);
        QSignalSpy finished(&task, &CBackgroundTask::finished);
        QVERIFY(task.Start("half", 1000, halfThenWait));
        QCOMPARE(pane.GetLabel(), QString("half"));
        while (progressed.isEmpty() || progressed.last().at(0).toInt() != 50)
            QVERIFY(progressed.wait(BackgroundWaitMs));
        QCOMPARE(pane.GetPercent(), 50);
        pane.GetCancelButton()->click();
        QVERIFY(!pane.IsRunning());
        QVERIFY(finished.wait(BackgroundWaitMs));
        QCOMPARE(finished.takeFirst().at(0).toBool(), false);
    }

    // Finish delivers the end at once and Abandon drops it; the worker's own late notice of
    // either is not delivered again (it comes before the next work's end).
    void finishAndAbandonEndAtOnceAndOnlyOnce() {
        CBackgroundTask task;
        QSignalSpy      finished(&task, &CBackgroundTask::finished);
        int             firstEnds = 0, secondEnds = 0;
        QVERIFY(task.Start("first", 0, halfThenWait, [&](bool completed) {
            QVERIFY(!completed);
            ++firstEnds;
        }));
        task.Finish();
        QCOMPARE(firstEnds, 1);
        QCOMPARE(finished.size(), 1);
        QVERIFY(task.Start("second", 0, halfThenWait, [&](bool) { ++secondEnds; }));
        task.Abandon();
        QVERIFY(!task.IsRunning());
        QCOMPARE(secondEnds, 0);
        QVERIFY(task.Start("third", 0, [](PassControl&) {}));
        QVERIFY(finished.wait(BackgroundWaitMs));
        QCOMPARE(finished.size(), 2);
        QCOMPARE(firstEnds, 1);
        QCOMPARE(secondEnds, 0);
    }

    // Work begun while other work shows puts it aside; each keeps its own progress, and the
    // older shows again when the newer ends, whichever ends first.
    void thePaneShowsTheNewestWorkAndKeepsTheOthers() {
        CProgressPane pane;
        int           cancels[2] = {};
        const int     a = 0, b = 1;
        pane.Begin(&a, "a", [&] { ++cancels[0]; });
        pane.SetPercent(&a, 30);
        pane.Begin(&b, "b", [&] { ++cancels[1]; });
        QCOMPARE(pane.GetLabel(), QString("b"));
        pane.SetPercent(&a, 40); // the work put aside goes on
        QCOMPARE(pane.GetPercent(), 0);
        pane.GetCancelButton()->click(); // the shown work's
        QCOMPARE(cancels[1], 1);
        QCOMPARE(cancels[0], 0);
        QCOMPARE(pane.GetLabel(), QString("a"));
        QCOMPARE(pane.GetPercent(), 40);

        pane.Begin(&b, "b", {});
        pane.End(&a); // the one under it ends first
        QCOMPARE(pane.GetLabel(), QString("b"));
        pane.End(&b);
        QVERIFY(!pane.IsRunning());
        QVERIFY(pane.isHidden());
        pane.End(&b); // nothing left: nothing happens
    }

    void whileAPassRunsNothingTakesCommandsAndEscapeOrTheButtonCancelsIt() {
        QuietApp app;
        QVERIFY(app.InitInstance({"norvane", data("kasparov-deep-blue-1997.pgn")}));
        CNorvaneDoc& doc = *app.GetDocument();
        QVERIFY(waitForTask(doc.m_fileTask));
        CMainFrame&    frame    = *app.GetMainFrame();
        CCommandTable& commands = frame.Commands();
        CProgressPane* pane     = frame.GetProgressPane();
        const int      rows     = frame.GetGameView()->GetModel()->rowCount();

        bool pressed = false;
        doc.m_fileTask.SetStartHook([&] {
            QVERIFY(!commands.Action(CmdForward)->isEnabled());
            QVERIFY(!commands.Action(CmdFileOpen)->isEnabled());
            QVERIFY(!commands.Execute(CmdForward));
            QVERIFY(!frame.GetSplitter()->isEnabled());
            QCOMPARE(pane->GetLabel(), QString::fromUtf8(StudyText::OpeningFile));
            QTest::keyClick(&frame, Qt::Key_Escape);
            pressed = true;
        });
        app.OpenDocumentFile(data("twic944.pgn"));
        QVERIFY(waitForTask(doc.m_fileTask));
        QVERIFY(pressed);
        QVERIFY(doc.WasCancelled());
        QVERIFY(app.messages.isEmpty());
        QCOMPARE(app.RecentFiles(),
                 QStringList{QFileInfo(data("kasparov-deep-blue-1997.pgn")).absoluteFilePath()});
        QCOMPARE(frame.statusBar()->currentMessage(), QString::fromUtf8(StudyText::OpenCancelled));
        QCOMPARE(frame.GetGameView()->GetModel()->rowCount(), rows);
        QVERIFY(frame.GetSplitter()->isEnabled());
        commands.UpdateCommandUI();
        QVERIFY(commands.Action(CmdForward)->isEnabled());

        // The pane's button stops the explorer's search for the games through the position.
        doc.m_fileTask.SetStartHook([&] {
            QCOMPARE(pane->GetLabel(), QString::fromUtf8(StudyText::SearchingPosition));
            pane->GetCancelButton()->click();
        });
        frame.GetSideTabs()->setCurrentWidget(frame.GetExplorer());
        frame.GetExplorer()->ListGames();
        QVERIFY(waitForTask(doc.m_fileTask));
        QVERIFY(doc.WasCancelled());
        QCOMPARE(frame.GetSideTabs()->currentWidget(), frame.GetExplorer());
        QCOMPARE(frame.GetGameView()->GetModel()->rowCount(), rows);
        QCOMPARE(frame.statusBar()->currentMessage(), QString::fromUtf8(StudyText::SearchCancelled));
        QVERIFY(app.messages.isEmpty());
    }
};

NORVANE_TEST(BackgroundTaskTest);
#include "backgroundtask_test.moc"
