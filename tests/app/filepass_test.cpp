#include <QAction>
#include <QFileInfo>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

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

} // namespace

// The window while a pass over the file runs on its worker, and the ways to cancel it.
class FilePassTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QSettings("Norvane", "Norvane").clear(); }

    void whileAPassRunsNothingTakesCommandsAndEscapeOrTheButtonCancelsIt() {
        QuietApp app;
        QVERIFY(app.InitInstance({"norvane", data("kasparov-deep-blue-1997.pgn")}));
        CMainFrame&    frame    = *app.GetMainFrame();
        CNorvaneDoc&   doc      = *app.GetDocument();
        CCommandTable& commands = frame.Commands();
        CProgressPane* pane     = frame.GetProgressPane();
        const int      rows     = frame.GetGameView()->GetModel()->rowCount();
        // The explorer builds the file's tree; a pass puts its progress aside meanwhile.
        QVERIFY(pane->IsRunning());
        const QString treeLabel = pane->GetLabel();

        bool pressed = false;
        doc.m_filePass.SetStartHook([&] {
            QVERIFY(!commands.Action(CmdForward)->isEnabled());
            QVERIFY(!commands.Action(CmdFileOpen)->isEnabled());
            QVERIFY(!commands.Execute(CmdForward));
            QVERIFY(!frame.GetSplitter()->isEnabled());
            QCOMPARE(pane->GetLabel(), QString::fromUtf8(StudyText::OpeningFile));
            QTest::keyClick(&frame, Qt::Key_Escape);
            pressed = true;
        });
        QVERIFY(!app.OpenDocumentFile(data("twic944.pgn")));
        QVERIFY(pressed);
        QVERIFY(app.messages.isEmpty());
        QCOMPARE(app.RecentFiles(),
                 QStringList{QFileInfo(data("kasparov-deep-blue-1997.pgn")).absoluteFilePath()});
        QCOMPARE(frame.statusBar()->currentMessage(), QString::fromUtf8(StudyText::OpenCancelled));
        QCOMPARE(frame.GetGameView()->GetModel()->rowCount(), rows);
        QVERIFY(frame.GetSplitter()->isEnabled());
        commands.UpdateCommandUI();
        QVERIFY(commands.Action(CmdForward)->isEnabled());
        QVERIFY(pane->IsRunning());
        QCOMPARE(pane->GetLabel(), treeLabel);

        // The pane's button stops the explorer's search for the games through the position.
        doc.m_filePass.SetStartHook([&] {
            QCOMPARE(pane->GetLabel(), QString::fromUtf8(StudyText::SearchingPosition));
            pane->GetCancelButton()->click();
        });
        frame.GetSideTabs()->setCurrentWidget(frame.GetExplorer());
        frame.GetExplorer()->ListGames();
        QVERIFY(doc.WasCancelled());
        QCOMPARE(frame.GetSideTabs()->currentWidget(), frame.GetExplorer());
        QCOMPARE(frame.GetGameView()->GetModel()->rowCount(), rows);
        QCOMPARE(frame.statusBar()->currentMessage(), QString::fromUtf8(StudyText::SearchCancelled));
        QCOMPARE(pane->GetLabel(), treeLabel);
        QVERIFY(app.messages.isEmpty());
    }
};

NORVANE_TEST(FilePassTest);
#include "filepass_test.moc"
