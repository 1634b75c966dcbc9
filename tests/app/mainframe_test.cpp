#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QMimeData>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>
#include <QSettings>
#include <QSignalSpy>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include "app/commands.h"
#include "app/dialogs.h"
#include "app/mainframe.h"
#include "app/newgamedialog.h"
#include "app/norvaneapp.h"
#include "app/searchdialog.h"
#include "records/game.h"
#include "resources/gametexts.h"
#include "tests/app/nextmodal.h"
#include "tests/app/testdoc.h"
#include "engine/search.h"
#include "tests/passwait.h"
#include "tests/qtestmain.h"
#include "view/clockpane.h"
#include "view/norvaneview.h"
#include "view/gamelistmodel.h"
#include "view/gameview.h"
#include "view/listviewex.h"

namespace {

// The application with its file dialog and message boxes recorded.
class TestApp : public CNorvaneApp {
public:
    QStringList messages;
    int         openDialogs = 0;
    QString     AskOpenFileName() override {
        ++openDialogs;
        return {};
    }
    void MessageBox(const QString& text) override { messages << text; }
};

// A menu as text: one line per item, "-" for a separator, the key after a tab.
QStringList menuLines(QMenu* menu) {
    QStringList lines;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator())
            lines << "-";
        else if (action->isVisible())
            lines << action->text() +
                         (action->shortcut().isEmpty() ? QString()
                                                       : "\t" + action->shortcut().toString(QKeySequence::PortableText));
    }
    return lines;
}

// Presses OK of the next modal message box once it is up.
void closeNextMessageBox() {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            box->accept();
        }
    });
    timer->start(10);
}

// Clicks the button named answer on every modal message box that comes up while it lives,
// and counts them.
class BoxAnswerer {
public:
    explicit BoxAnswerer(const QString& answer) {
        QObject::connect(&m_timer, &QTimer::timeout, [this, answer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            for (QAbstractButton* button : box->buttons())
                if (button->text() == answer) {
                    ++answered;
                    button->click();
                    return;
                }
        });
        m_timer.start(10);
    }
    int answered = 0;

private:
    QTimer m_timer;
};

QAction* windowKey(CMainFrame& frame, Qt::Key key) {
    for (QAction* action : frame.actions())
        if (action->shortcut() == QKeySequence(key)) return action;
    return nullptr;
}

} // namespace

class MainFrameTest : public QObject {
    Q_OBJECT
    // Settings of this process only: test programs of other builds may run at the same time.
    QTemporaryDir m_settings;

private slots:
    void initTestCase() {
        QVERIFY(m_settings.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    }
    void init() { QSettings("Norvane", "Norvane").clear(); }

    void theMenusCarryTheirLabelsSeparatorsAndKeys() {
        TestApp app;
        QVERIFY(app.InitInstance({"norvane"}));
        const QList<QAction*> menus = app.GetMainFrame()->menuBar()->actions();
        const QStringList     expected[] = {
            {"ﾌｧｲﾙ(&F)", "対局(&N)...\tCtrl+N", "開く(&O)...\tCtrl+O", "保存(&S)...\tCtrl+S",
             "上書き保存(&W)", "-",
             "最新のﾌｧｲﾙ", "-", "終了(&X)"},
            {"編集(&E)", "盤面のコピー(&B)", "棋譜のコピー(&C)", "注釈付きでコピー(&A)", "棋譜の貼り付け(&P)", "-",
             "検索(&F)...\tCtrl+F", "再読み込み(&R)", "-", "ゲーム情報編集(&G)...", "-",
             "元に戻す(&U)\tCtrl+Z", "やり直し(&Y)\tCtrl+Y", "変化として追加(&V)", "本線にする(&M)",
             "変化を削除(&D)", "ここから後を削除(&T)", "コメントを編集(&O)...", "!\tAlt+1", "?\tAlt+2",
             "!!\tAlt+3", "??\tAlt+4", "!?\tAlt+5", "?!\tAlt+6", "マークなし\tAlt+0"},
            {"表示(&V)", "ツールバー(&T)", "ステータスバー(&S)", "ゲームリスト(&L)", "座標(&C)", "座反転(&F)", "ハイライト(&H)", "駒を動かすアニメーション(&M)", "解析(&A)\tCtrl+Shift+A",
             "評価グラフ(&V)", "評価グラフを画像で保存(&P)...", "-", "棋譜表示(&R)", "ファイル情報(&I)", "列の選択(&U)...", "-", "オープニング名を英語で表示(&E)",
             "オープニング名を日本語で表示(&J)", "定跡を外れてもオープニング名を表示(&K)"},
            {"ゲーム(&G)", "待った(&A)", "対局終了(&E)", "今すぐ指す(&N)\tCtrl+M", "投了(&Q)...",
             "引き分けを申請(&C)", "引き分けの提案(&O)", "-", "進む(&M)",
             "戻る(&R)", "初期局面(&F)", "最終局面(&L)", "再生(&P)", "研究(&S)", "-",
             "棋譜解析(&V)\tCtrl+Shift+R", "棋譜解析の設定(&W)...", "-", "この局面から対局(&H)", "エンジンの強さ(&T)...", "エンジンの設定(&G)...",
             "-", "新しい対局でも開いている棋譜ファイルを閉じない(&K)"},
            {"ﾍﾙﾌﾟ(&H)", "バージョン情報(&A)..."},
        };
        QCOMPARE(menus.size(), 5);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(QStringList{menus[i]->text()} + menuLines(menus[i]->menu()), expected[i]);

        // Toolbar: eleven buttons in three gaps, each with its tooltip and prompt.
        QToolBar* bar = app.GetMainFrame()->GetToolBar();
        QCOMPARE(bar->actions().size(), 14);
        QCOMPARE(bar->actions()[9]->data().toInt(), CmdForward);
        QCOMPARE(bar->actions()[9]->toolTip(), QString::fromUtf8("進む"));
        QVERIFY(!bar->actions()[9]->statusTip().isEmpty());
        QVERIFY(!bar->actions()[9]->icon().isNull());
    }

    void keysRunTheirCommandsWhereverTheFocusIs() {
        TestApp app;
        QVERIFY(app.InitInstance({"norvane", data("kasparov-deep-blue-1997.pgn")}));
        QVERIFY(waitForTask(app.GetDocument()->m_fileTask));
        CMainFrame& frame = *app.GetMainFrame();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        QCOMPARE(frame.AcceleratorCommand(QKeySequence(Qt::Key_Left)), CmdBack);
        QCOMPARE(frame.AcceleratorCommand(QKeySequence(Qt::Key_Right)), CmdForward);
        QCOMPARE(frame.AcceleratorCommand(QKeySequence(Qt::Key_Home)), CmdFirst);
        QCOMPARE(frame.AcceleratorCommand(QKeySequence(Qt::Key_End)), CmdLast);
        QCOMPARE(frame.AcceleratorCommand(QKeySequence("Ctrl+N")), CmdNewGame);
        QCOMPARE(frame.AcceleratorCommand(QKeySequence("Ctrl+S")), CmdSave);

        CListViewEx* list = frame.GetGameView()->GetList();
        QVERIFY(list->hasFocus()); // the active window gives the list the focus
        QSignalSpy left(windowKey(frame, Qt::Key_Left), &QAction::triggered);
        QSignalSpy right(windowKey(frame, Qt::Key_Right), &QAction::triggered);
        QTest::keyClick(list, Qt::Key_Right);
        QTest::keyClick(list, Qt::Key_Right);
        QCOMPARE(gamePly, 2); // the board steps, not the list
        QTest::keyClick(list, Qt::Key_Left);
        QCOMPARE(gamePly, 1);
        QCOMPARE(right.count(), 2);
        QCOMPARE(left.count(), 1);
        QTest::keyClick(list, Qt::Key_End); // the last move, not the list's last row
        QVERIFY(gamePly > 2);
        QCOMPARE(list->currentIndex().row(), 0);
        QTest::keyClick(list, Qt::Key_Home);
        QCOMPARE(gamePly, 0);
        QTest::keyClick(list, Qt::Key_Right);
        QTest::keyClick(list, Qt::Key_Down); // the list keeps its own keys
        QCOMPARE(list->currentIndex().row(), 1);

        QTest::keyClick(list, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(app.openDialogs, 1);
    }

    // The real engine out of its book: Ctrl+M makes it move now; closing the window during a
    // think stops it and leaves the Board as the think found it.
    void moveNowByKeyAndClosingDuringAThink() {
        TestApp app;
        QVERIFY(app.InitInstance({"norvane"}));
        CMainFrame& frame = *app.GetMainFrame();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        CNorvaneView* view  = frame.GetBoardView();
        const auto    click = [view](const char* square) {
            const int s = (square[0] - 'a') + 8 * (square[1] - '1');
            QTest::mouseClick(view, Qt::LeftButton, {},
                              view->m_squareRects[view->DisplaySquare(s)].center());
        };
        click("b1");
        click("a3"); // no opening line starts so: the engine searches
        QVERIFY(view->IsThinking());
        frame.Commands().UpdateCommandUI(); // as the idle pass does
        QVERIFY(frame.Commands().Action(CmdMoveNow)->isEnabled());
        QTest::keyClick(frame.GetGameView()->GetList(), Qt::Key_M, Qt::ControlModifier);
        QVERIFY(waitForTask(view->Thinker()));
        QVERIFY(view->LastThink()->stopRequested()); // the key stopped it, not its clock
        QCOMPARE(gamePly, 2);

        click("a3");
        click("b1");
        QVERIFY(view->IsThinking());
        const std::uint64_t shown = board.hashKey; // the worker thinks on a Board of its own
        BoxAnswerer discard(QString::fromUtf8("保存しない")); // the game played is let go
        frame.close();
        QCOMPARE(discard.answered, 1);
        QVERIFY(!view->IsThinking());
        QCOMPARE(board.hashKey, shown);
        QCOMPARE(gamePly, 3);
    }

    void theCommandLineFileShowsTheListAndTogglingRestoresTheWindow() {
        TestApp app;
        QVERIFY(app.InitInstance({"norvane", data("kasparov-deep-blue-1997.pgn")}));
        QVERIFY(waitForTask(app.GetDocument()->m_fileTask));
        CMainFrame& frame = *app.GetMainFrame();
        QVERIFY(frame.IsGameListShown());
        QCOMPARE(frame.size(), CMainFrame::WithListSize);
        QCOMPARE(frame.GetSplitter()->sizes().last(), CMainFrame::ListWidth);
        QCOMPARE(frame.GetGameView()->GetModel()->rowCount(), 6);
        QCOMPARE(QString(gameHeader.white), QString("Garry Kasparov"));
        frame.UpdatePanes();
        QCOMPARE(frame.GetPanes()->Pane(PaneGameCount)->text(), QString("6"));

        frame.move(40, 30);
        const QPoint position = frame.pos();
        CCommandTable& commands = frame.Commands();
        QVERIFY(commands.Execute(CmdGameList));
        QCOMPARE(frame.size(), CMainFrame::BoardOnlySize);
        QCOMPARE(frame.GetSplitter()->sizes().last(), 0);
        QVERIFY(!commands.Action(CmdGameList)->isChecked());
        QVERIFY(commands.Execute(CmdGameList));
        QVERIFY(commands.Execute(CmdGameList));
        QCOMPARE(frame.size(), CMainFrame::BoardOnlySize);
        QCOMPARE(frame.pos(), position);

        // New hides the list; opening from the recent files shows it again.
        QVERIFY(commands.Execute(CmdGameList));
        QVERIFY(commands.Execute(CmdFileNew));
        QVERIFY(!frame.IsGameListShown());
        QCOMPARE(frame.GetGameView()->GetModel()->rowCount(), 0);
        const QString path = QFileInfo(data("kasparov-deep-blue-1997.pgn")).absoluteFilePath();
        QCOMPARE(app.RecentFiles(), QStringList{path});
        QCOMPARE(commands.Action(CmdRecentFile)->text(), "&1 " + path);
        QVERIFY(commands.Execute(CmdRecentFile));
        QVERIFY(waitForTask(app.GetDocument()->m_fileTask));
        QVERIFY(frame.IsGameListShown());
        QCOMPARE(frame.size(), CMainFrame::WithListSize);

        // A recent file that is gone says so and leaves the list.
        QTemporaryDir dir;
        const QString gone = dir.filePath("gone.pgn");
        QVERIFY(QFile::copy(path, gone));
        app.OpenDocumentFile(gone);
        QVERIFY(waitForTask(app.GetDocument()->m_fileTask));
        QCOMPARE(app.RecentFiles(), QStringList({gone, path}));
        QVERIFY(QFile::remove(gone));
        QVERIFY(commands.Execute(CmdRecentFile));
        QCOMPARE(app.messages.size(), 1);
        QCOMPARE(app.RecentFiles(), QStringList{path});
        QVERIFY(!commands.Action(CmdRecentFile + 1)->isVisible());
    }

    // Open and quit with a game that is not modified go on unasked; with a modified one the
    // question comes first, and キャンセル stops them. The title bar shows the modified game.
    void openAndQuitAskBeforeAModifiedGameGoes_data() {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("goesOn");
        QTest::newRow("not modified") << false << QString::fromUtf8("キャンセル") << true;
        QTest::newRow("do not save") << true << QString::fromUtf8("保存しない") << true;
        QTest::newRow("cancel") << true << QString::fromUtf8("キャンセル") << false;
    }
    void openAndQuitAskBeforeAModifiedGameGoes() {
        QFETCH(bool, modified);
        QFETCH(QString, answer);
        QFETCH(bool, goesOn);
        TestApp app;
        QVERIFY(app.InitInstance({"norvane"}));
        CMainFrame&   frame = *app.GetMainFrame();
        CNorvaneView* view  = frame.GetBoardView();
        view->SetGameModified(modified);
        frame.UpdatePanes();
        QCOMPARE(frame.isWindowModified(), modified);
        QVERIFY(frame.windowTitle().startsWith("Norvane"));

        BoxAnswerer   answerer(answer);
        const QString path = QFileInfo(data("kasparov-deep-blue-1997.pgn")).absoluteFilePath();
        app.OpenDocumentFile(path);
        QVERIFY(waitForTask(app.GetDocument()->m_fileTask));
        QCOMPARE(answerer.answered, modified ? 1 : 0);
        QCOMPARE(app.GetDocument()->GetPathName() == path, goesOn);
        QCOMPARE(view->IsGameModified(), !goesOn);

        view->SetGameModified(modified);
        QCOMPARE(frame.close(), goesOn);
        QCOMPARE(answerer.answered, modified ? 2 : 0);
        QCOMPARE(frame.isVisible(), !goesOn);
    }

    // A timed game with the list shown: the clocks take their own room, the board stays whole.
    void theClocksStandBesideTheWholeBoard() {
        TestApp app;
        QVERIFY(app.InitInstance({"norvane", data("kasparov-deep-blue-1997.pgn")}));
        QVERIFY(waitForTask(app.GetDocument()->m_fileTask));
        CMainFrame& frame = *app.GetMainFrame();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        onNextModal<CGameStartDialog>([](CGameStartDialog* dialog) {
            for (QComboBox* combo : dialog->findChildren<QComboBox*>())
                if (combo->itemText(0) == QString::fromUtf8(GameText::TimeControlNone)) combo->setCurrentIndex(1);
            dialog->accept();
        });
        QVERIFY(frame.Commands().Execute(CmdPlayFromHere));
        auto* clocks = frame.findChild<CClockPane*>();
        QTRY_VERIFY(clocks->isVisible());
        QScrollArea* pane = frame.GetBoardPane();
        // The window grows by the clocks and the splitter gives the board's side all of it.
        const QWidget* view      = frame.GetBoardView();
        const int      boardSide = view->minimumSizeHint().width();
        QTRY_VERIFY(frame.GetSplitter()->sizes().first() >= boardSide + clocks->width());
        QTRY_VERIFY(pane->width() >= boardSide);
        QVERIFY(!pane->horizontalScrollBar()->isVisible());
        QVERIFY(clocks->mapTo(&frame, QPoint(0, 0)).x() >= pane->mapTo(&frame, QPoint(pane->width(), 0)).x());
    }

    void startingWithoutAFileShowsTheBoardAlone() {
        TestApp app;
        QVERIFY(app.InitInstance({"norvane"}));
        QVERIFY(!app.GetMainFrame()->IsGameListShown());
        QCOMPARE(app.GetMainFrame()->size(), CMainFrame::BoardOnlySize);
        CCommandTable& commands = app.GetMainFrame()->Commands();
        QVERIFY(!commands.Action(CmdRecentFile)->isEnabled());
        // The bars are on; each toggle hides and shows its bar.
        for (int id : {CmdViewToolbar, CmdViewStatusBar}) {
            QVERIFY(commands.Action(id)->isChecked());
            QVERIFY(commands.Execute(id));
            QVERIFY(!commands.Action(id)->isChecked());
            QVERIFY(commands.Execute(id));
            QVERIFY(commands.Action(id)->isChecked());
        }
        QVERIFY(!app.GetMainFrame()->GetToolBar()->isHidden());
    }

    void aDroppedFileOpensAndTheSearchDialogNarrowsTheList() {
        TestApp app;
        QVERIFY(app.InitInstance({"norvane"}));
        CMainFrame& frame = *app.GetMainFrame();
        QMimeData   mime;
        mime.setUrls({QUrl::fromLocalFile(data("kasparov-deep-blue-1997.pgn"))});
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(&frame, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QSignalSpy requested(&frame, &CMainFrame::openFileRequested);
        QApplication::sendEvent(&frame, &drop);
        QCOMPARE(requested.count(), 1);
        QVERIFY(waitForTask(app.GetDocument()->m_fileTask));
        QVERIFY(frame.IsGameListShown());
        QCOMPARE(frame.GetGameView()->GetModel()->rowCount(), 6);

        // The search dialog's values become the document's criteria: Kasparov's three wins.
        auto* timer = new QTimer(&frame);
        connect(timer, &QTimer::timeout, [timer] {
            auto* dialog = qobject_cast<CSearchDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            timer->stop();
            for (QComboBox* box : dialog->findChildren<QComboBox*>())
                if (box->isEditable()) box->setEditText("kasparov");
            for (QCheckBox* box : dialog->findChildren<QCheckBox*>())
                if (box->text() == "1-0") box->setChecked(true);
            dialog->accept();
        });
        timer->start(10);
        QVERIFY(frame.Commands().Execute(CmdSearch));
        QCOMPARE(QString(app.GetDocument()->m_filter.name), QString("kasparov"));
        QCOMPARE(frame.GetGameView()->GetModel()->rowCount(), 3);
    }

    void aStartUpFileThatDoesNotOpenEndsTheProgramWithAReason() {
        TestApp missing;
        QVERIFY(!missing.InitInstance({"norvane", data("no-such-file.pgn")}));
        QCOMPARE(missing.messages.size(), 1);
        QVERIFY(missing.messages[0].contains("no-such-file.pgn"));

        // The document already said where a broken file breaks, once it has read it: nothing
        // more is said, and the program is told to end.
        TestApp    broken;
        QSignalSpy failed(&broken, &CNorvaneApp::startUpFailed);
        closeNextMessageBox();
        QVERIFY(broken.InitInstance({"norvane", data("anastasian-lewis.pgn")}));
        QVERIFY(failed.wait(BackgroundWaitMs));
        QVERIFY(broken.messages.isEmpty());
        QCOMPARE(broken.GetDocument()->m_messagesShown, 1);
    }
};

NORVANE_TEST(MainFrameTest);
#include "mainframe_test.moc"
