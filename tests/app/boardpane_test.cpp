// The board in the main window: it grows with its pane and scrolls in a small one, keeps the
// standard sizes of the window's normal state, leaves the width it cannot use to the list, and
// a carried piece goes back before any command runs.
#include <QAction>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>

#include "app/commands.h"
#include "app/mainframe.h"
#include "app/norvaneapp.h"
#include "engine/board.h"
#include "tests/qtestmain.h"
#include "view/boardscale.h"
#include "view/norvaneview.h"

class BoardPaneTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_settings;

    // The window at size, laid out.
    static void resizeTo(CMainFrame& frame, QSize size) {
        frame.resize(size);
        QTRY_COMPARE(frame.GetBoardPane()->widget()->size().isEmpty(), false);
        QCoreApplication::processEvents();
    }

    // The window shown at the standard size with the game list, laid out.
    static void showWithList(CMainFrame& frame) {
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(frame.Commands().Execute(CmdGameList));
        QCoreApplication::processEvents();
    }

    // The centre of board square s on the board view.
    static QPoint centreOf(CNorvaneView* view, int s) {
        return view->m_squareRects[view->DisplaySquare(s)].center();
    }

private slots:
    void initTestCase() {
        QVERIFY(m_settings.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    }
    void init() { QSettings("Norvane", "Norvane").clear(); }

    void theBoardGrowsWithThePaneAndScrollsInASmallOne() {
        CNorvaneApp app;
        QVERIFY(app.InitInstance({"norvane"}));
        CMainFrame&   frame = *app.GetMainFrame();
        CNorvaneView* view  = frame.GetBoardView();
        QScrollArea*  pane  = frame.GetBoardPane();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));

        // The standard window: the standard board, no scroll bars.
        QCOMPARE(frame.size(), CMainFrame::BoardOnlySize);
        QCOMPARE(view->Geometry().Pitch(), StandardPitch);
        QVERIFY(!pane->horizontalScrollBar()->isVisible() &&
                !pane->verticalScrollBar()->isVisible());

        // A large window: the largest step that fits the pane.
        resizeTo(frame, QSize(1000, 800));
        const QSize room  = pane->viewport()->size();
        const int   pitch = view->Geometry().Pitch();
        QVERIFY(pitch > StandardPitch);
        QCOMPARE(pitch, fittingPitch(room));
        QVERIFY(logicalSide(pitch) <= std::min(room.width(), room.height()));
        QVERIFY(logicalSide(pitch + PitchStep) > std::min(room.width(), room.height()));

        // Smaller than the board: the standard board, which scrolls.
        resizeTo(frame, QSize(200, 260));
        QCOMPARE(view->Geometry().Pitch(), StandardPitch);
        QTRY_VERIFY(pane->horizontalScrollBar()->maximum() > 0);
        QVERIFY(pane->verticalScrollBar()->maximum() > 0);
        QVERIFY(view->width() >= 300 && view->height() >= 300);

        // The list's toggle gives the standard sizes again, with the standard board.
        QVERIFY(frame.Commands().Execute(CmdGameList));
        QCOMPARE(frame.size(), CMainFrame::WithListSize);
        QCoreApplication::processEvents();
        QCOMPARE(view->Geometry().Pitch(), StandardPitch);
        QVERIFY(frame.Commands().Execute(CmdGameList));
        QCOMPARE(frame.size(), CMainFrame::BoardOnlySize);
    }

    void aLargeWindowGivesTheListTheWidthTheBoardCannotUse() {
        CNorvaneApp app;
        QVERIFY(app.InitInstance({"norvane"}));
        CMainFrame& frame    = *app.GetMainFrame();
        QSplitter*  splitter = frame.GetSplitter();
        showWithList(frame);
        QCOMPARE(splitter->sizes().last(), CMainFrame::ListWidth);

        // Wide: the board pane is as wide as the board its height allows, the list takes the
        // rest.
        resizeTo(frame, QSize(1200, 700));
        QTRY_VERIFY(splitter->sizes().last() > CMainFrame::ListWidth);
        const int pitch = frame.GetBoardView()->Geometry().Pitch();
        QVERIFY(pitch > StandardPitch);
        QCOMPARE(splitter->sizes().first(), logicalSide(pitch));

        // Tall, and back to the standard size: the list at its own width.
        resizeTo(frame, QSize(700, 900));
        QTRY_COMPARE(splitter->sizes().last(), CMainFrame::ListWidth);
        resizeTo(frame, CMainFrame::WithListSize);
        QTRY_COMPARE(splitter->sizes().last(), CMainFrame::ListWidth);
        QCOMPARE(frame.GetBoardView()->Geometry().Pitch(), StandardPitch);
    }

    void aWideWindowWidensTheMoveLineAndThePath() {
        CNorvaneApp app;
        QVERIFY(app.InitInstance({"norvane"}));
        CMainFrame& frame = *app.GetMainFrame();
        showWithList(frame);
        CStatusPanes* panes    = frame.GetPanes();
        const auto    widthsOf = [panes] {
            QList<int> widths;
            for (const int id : {PaneMoveInfo, PanePathName, PaneFileSize, PaneGameCount})
                widths << panes->Pane(id)->width();
            return widths;
        };
        const QList<int> standard = widthsOf();

        resizeTo(frame, QSize(1200, 700));
        QTRY_VERIFY(widthsOf()[0] > standard[0]);
        const QList<int> wide = widthsOf();
        QVERIFY(wide[1] > standard[1]);
        QCOMPARE(wide[2], standard[2]);
        QCOMPARE(wide[3], standard[3]);
        // Side by side, the last one inside the window.
        QVERIFY(panes->Pane(PaneGameCount)->geometry().right() < panes->width());
        QVERIFY(panes->Pane(PanePathName)->geometry().left() >
                panes->Pane(PaneMoveInfo)->geometry().right());

        resizeTo(frame, CMainFrame::WithListSize);
        QTRY_COMPARE(widthsOf(), standard);
    }

    void aMaximisedWindowStaysMaximised() {
        CNorvaneApp app;
        QVERIFY(app.InitInstance({"norvane"}));
        CMainFrame& frame = *app.GetMainFrame();
        frame.showMaximized();
        QTRY_VERIFY(frame.isMaximized());
        QTRY_VERIFY(frame.size() != CMainFrame::BoardOnlySize);
        const QSize maximised = frame.size();
        QVERIFY(frame.Commands().Execute(CmdGameList));
        QVERIFY(frame.Commands().Execute(CmdFileNew));
        QCoreApplication::processEvents();
        QVERIFY(frame.isMaximized());
        QCOMPARE(frame.size(), maximised);
        QVERIFY(frame.GetBoardView()->Geometry().Pitch() > StandardPitch);
    }

    void aCommandPutsTheCarriedPieceBackFirst() {
        CNorvaneApp app;
        QVERIFY(app.InitInstance({"norvane"}));
        CMainFrame&   frame = *app.GetMainFrame();
        CNorvaneView* view  = frame.GetBoardView();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        const int e2 = 12;
        QTest::mouseClick(view, Qt::LeftButton, {}, centreOf(view, e2));
        QVERIFY(view->m_pHeld);
        QTest::mouseMove(view, QPoint(200, 100));
        // The menu's flip: the piece is back on e2 and the board is flipped.
        frame.Commands().Action(CmdFlip)->trigger();
        QVERIFY(!view->m_pHeld);
        QVERIFY(view->m_mode & ModeFlipped);
        QCOMPARE(view->Highlights().pickSquare, int(NoSquare));
        QVERIFY(view->m_squareSprites[view->DisplaySquare(e2)]);
        QCOMPARE(QPoint(view->m_squareSprites[view->DisplaySquare(e2)]->GetX(),
                        view->m_squareSprites[view->DisplaySquare(e2)]->GetY()),
                 view->m_squareRects[view->DisplaySquare(e2)].topLeft());
        // A command that leaves the sprites alone puts the piece back too.
        QTest::mouseClick(view, Qt::LeftButton, {}, centreOf(view, e2));
        QVERIFY(view->m_pHeld);
        QVERIFY(frame.Commands().Execute(CmdCopyBoard));
        QVERIFY(!view->m_pHeld);
        QCOMPARE(view->m_squareSprites[view->DisplaySquare(e2)]->GetY(),
                 view->m_squareRects[view->DisplaySquare(e2)].top());
        // The highlights' menu item is ticked and switches them.
        QAction* highlights = frame.Commands().Action(CmdHighlights);
        QVERIFY(highlights->isChecked());
        highlights->trigger();
        QVERIFY(!view->HighlightsShown());
        QVERIFY(!highlights->isChecked());
        QCOMPARE(QSettings("Norvane", "Norvane").value(HighlightsKey).toBool(), false);
    }
};

NORVANE_TEST(BoardPaneTest);

#include "boardpane_test.moc"
