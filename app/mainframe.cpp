#include "app/mainframe.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QBitmap>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPixmap>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>

#include "app/analysissession.h"
#include "app/commands.h"
#include "app/enginesdialog.h"
#include "app/norvanedoc.h"
#include "app/reviewsession.h"
#include "resources/studytexts.h"
#include "view/evalbar.h"
#include "view/explorer.h"
#include "view/gameview.h"
#include "view/clockpane.h"
#include "view/movelist.h"
#include "view/listviewex.h"
#include "view/norvaneview.h"
#include "view/progresspane.h"

namespace {

// The status panes in their order, with the placeholder text each is as wide as.
struct PaneLayout {
    int         id;
    const char* placeholder;
};
constexpr PaneLayout paneLayouts[4] = {
    {PaneMoveInfo, "**************************************************"},
    {PanePathName, "**************************************"},
    {PaneFileSize, "0000KB"},
    {PaneGameCount, "game : 000000"},
};

// A menu item: a command with its label ("\t" then the key hint), or a separator (id 0).
struct MenuItem {
    int         id;
    const char* text;
};
struct MenuLayout {
    const char*                     title;
    std::initializer_list<MenuItem> items;
};

// clang-format off
const MenuLayout menuLayouts[] = {
    {"ﾌｧｲﾙ(&F)", {{CmdNewGame, "対局(&N)...\tCtrl+N"}, {CmdFileOpen, "開く(&O)...\tCtrl+O"},
                  {CmdSave, "保存(&S)...\tCtrl+S"}, {CmdOverwrite, "上書き保存(&W)"}, {0, nullptr},
                  {CmdRecentFile, "最新のﾌｧｲﾙ"}, {0, nullptr}, {CmdAppExit, "終了(&X)"}}},
    {"編集(&E)", {{CmdCopyBoard, "盤面のコピー(&B)"}, {CmdCopyGame, "棋譜のコピー(&C)"},
                 {CmdCopyAnnotated, "注釈付きでコピー(&A)"},
                 {CmdPasteGame, "棋譜の貼り付け(&P)"}, {0, nullptr}, {CmdSearch, "検索(&F)...\tCtrl+F"},
                 {CmdReload, "再読み込み(&R)"}, {0, nullptr},
                 {CmdEditGameInfo, "ゲーム情報編集(&G)..."}, {0, nullptr},
                 {CmdUndoEdit, "元に戻す(&U)\tCtrl+Z"}, {CmdRedoEdit, "やり直し(&Y)\tCtrl+Y"},
                 {CmdAddVariation, "変化として追加(&V)"}, {CmdPromoteLine, "本線にする(&M)"},
                 {CmdDeleteLine, "変化を削除(&D)"}, {CmdDeleteAfter, "ここから後を削除(&T)"},
                 {CmdEditComment, "コメントを編集(&O)..."},
                 {CmdMarkNone + 1, "!\tAlt+1"}, {CmdMarkNone + 2, "?\tAlt+2"},
                 {CmdMarkNone + 3, "!!\tAlt+3"}, {CmdMarkNone + 4, "??\tAlt+4"},
                 {CmdMarkNone + 5, "!?\tAlt+5"}, {CmdMarkNone + 6, "?!\tAlt+6"},
                 {CmdMarkNone, "マークなし\tAlt+0"}}},
    {"表示(&V)", {{CmdViewToolbar, "ツールバー(&T)"}, {CmdViewStatusBar, "ステータスバー(&S)"},
                 {CmdGameList, "ゲームリスト(&L)"}, {CmdCoordinates, "座標(&C)"},
                 {CmdFlip, "座反転(&F)"}, {CmdHighlights, "ハイライト(&H)"},
                 {CmdMoveAnimation, "駒を動かすアニメーション(&M)"},
                 {CmdAnalysis, "解析(&A)\tCtrl+Shift+A"}, {CmdEvalGraph, "評価グラフ(&V)"},
                 {CmdSaveEvalGraph, "評価グラフを画像で保存(&P)..."}, {0, nullptr},
                 {CmdShowRecord, "棋譜表示(&R)"}, {CmdFileInfo, "ファイル情報(&I)"},
                 {CmdChooseColumns, "列の選択(&U)..."}, {0, nullptr},
                 {CmdNamesEnglish, "オープニング名を英語で表示(&E)"},
                 {CmdNamesJapanese, "オープニング名を日本語で表示(&J)"},
                 {CmdKeepLastOpening, "定跡を外れてもオープニング名を表示(&K)"}}},
    {"ゲーム(&G)", {{CmdTakeBack, "待った(&A)"}, {CmdEndGame, "対局終了(&E)"},
                   {CmdMoveNow, "今すぐ指す(&N)\tCtrl+M"}, {CmdResign, "投了(&Q)..."},
                   {CmdClaimDraw, "引き分けを申請(&C)"}, {CmdOfferDraw, "引き分けの提案(&O)"},
                   {0, nullptr},
                   {CmdForward, "進む(&M)"}, {CmdBack, "戻る(&R)"}, {CmdFirst, "初期局面(&F)"},
                   {CmdLast, "最終局面(&L)"}, {CmdReplay, "再生(&P)"}, {CmdResearch, "研究(&S)"},
                   {0, nullptr}, {CmdReviewGame, "棋譜解析(&V)\tCtrl+Shift+R"},
                   {CmdReviewSettings, "棋譜解析の設定(&W)..."},
                   {0, nullptr}, {CmdPlayFromHere, "この局面から対局(&H)"},
                   {CmdStrength, "エンジンの強さ(&T)..."}, {CmdEngines, "エンジンの設定(&G)..."},
                   {0, nullptr}, {CmdKeepFileOnNew, "新しい対局でも開いている棋譜ファイルを閉じない(&K)"}}},
    {"ﾍﾙﾌﾟ(&H)", {{CmdAppAbout, "バージョン情報(&A)..."}}},
};

// Each command's status-bar prompt and tooltip.
struct CommandText {
    int         id;
    const char* prompt;
    const char* tip;
};
const CommandText commandTexts[] = {
    {CmdNewGame, "新しい対局を始めます", "対局"},
    {CmdResign, "この対局を投了します", "投了"},
    {CmdClaimDraw, "同一局面 3 回または 50 手ルールで引き分けを申請します", "引き分けを申請"},
    {CmdOfferDraw, "エンジンに引き分けを提案します", "引き分けの提案"},
    {CmdFileOpen, "PGNファイルを開きます", "開く"},
    {CmdSave, "棋譜をPGNファイルの終わりに保存します", "保存"},
    {CmdOverwrite, "開いているファイルの中の棋譜を、盤面の棋譜で置き換えます", "上書き保存"},
    {CmdAppExit, "Norvaneを終了します", "終了"},
    {CmdCopyBoard, "盤面をFEN形式でクリップボードにコピーします", "盤面のコピー"},
    {CmdCopyGame, "棋譜をPGN形式でクリップボードにコピーします", "棋譜のコピー"},
    {CmdCopyAnnotated, "コメント、記号と変化を含めて棋譜をクリップボードにコピーします", "注釈付きでコピー"},
    {CmdPasteGame, "クリップボードの棋譜を読み込みます", "棋譜の貼り付け"},
    {CmdUndoEdit, "棋譜の直前の編集を取り消します (エンジンとの対局中は待った)", "元に戻す"},
    {CmdRedoEdit, "取り消した編集をやり直します", "やり直し"},
    {CmdAddVariation, "研究の手順を、棋譜を離れた手の変化として加えます", "変化として追加"},
    {CmdPromoteLine, "表示している変化を本線にします", "本線にする"},
    {CmdDeleteLine, "表示している変化を削除します", "変化を削除"},
    {CmdDeleteAfter, "表示している局面より後の手を削除します", "ここから後を削除"},
    {CmdEditComment, "表示している手の前後のコメントを編集します", "コメントを編集"},
    {CmdMarkNone, "手の記号を消します", "マークなし"},
    {CmdSearch, "ファイルの中の棋譜を検索します", "検索"},
    {CmdReload, "検索をやめて全ての棋譜を表示します", "再読み込み"},
    {CmdEditGameInfo, "棋譜のゲーム情報を編集します", "ゲーム情報編集"},
    {CmdViewToolbar, "ツールバーの表示を切り替えます", "ツールバー"},
    {CmdViewStatusBar, "ステータスバーの表示を切り替えます", "ステータスバー"},
    {CmdGameList, "ゲームリストの表示を切り替えます", "ゲームリスト"},
    {CmdCoordinates, "座標の表示を切り替えます", "座標"},
    {CmdFlip, "盤を反転します", "座反転"},
    {CmdHighlights, "持った駒のマス、行ける先、最後の手と王手の表示を切り替えます", "ハイライト"},
    {CmdMoveAnimation, "指した手の駒を、移動先のマスまで滑らせて動かします", "駒を動かすアニメーション"},
    {CmdKeepFileOnNew, "新しい対局を始めても、開いている棋譜ファイルとゲームリストをそのまま残します",
     "開いている棋譜ファイルを閉じない"},
    {CmdAnalysis, "エンジンで盤上の局面を解析します", "解析"},
    {CmdEvalGraph, "評価グラフの表示を切り替えます", "評価グラフ"},
    {CmdSaveEvalGraph, "評価グラフをPNG画像で保存します", "評価グラフを画像で保存"},
    {CmdReviewGame, "エンジンで棋譜の全ての手を評価し、疑問手と悪手に印を付けます（解析中は中止します）", "棋譜解析"},
    {CmdReviewSettings, "棋譜解析で1局面に使う探索量を設定します", "棋譜解析の設定"},
    {CmdShowRecord, "棋譜をテキストで表示します", "棋譜表示"},
    {CmdFileInfo, "ファイルの棋譜数、結果とオープニングを表示します", "ファイル情報"},
    {CmdChooseColumns, "ゲームリストに表示する列を選びます", "列の選択"},
    {CmdNamesEnglish, "オープニング名を英語で表示します", "英語のオープニング名"},
    {CmdNamesJapanese, "オープニング名を日本語（カタカナ）で表示します", "日本語のオープニング名"},
    {CmdKeepLastOpening, "名前のない局面では、手順の中で最後に名前のあった局面のオープニング名を「以降」を付けて表示します",
     "定跡を外れてもオープニング名を表示"},
    {CmdTakeBack, "自分の手と相手の手を1手ずつ戻します", "待った"},
    {CmdEndGame, "対局を終えて棋譜を見るモードにします", "対局終了"},
    {CmdForward, "1手進みます", "進む"},
    {CmdBack, "1手戻ります", "戻る"},
    {CmdFirst, "初期局面に戻ります", "初期局面"},
    {CmdLast, "最終局面まで進みます", "最終局面"},
    {CmdReplay, "棋譜を1秒に1手ずつ再生します", "再生"},
    {CmdResearch, "盤上の局面から変化を調べます", "研究"},
    {CmdMoveNow, "エンジンの思考を止めて、その時点の最善手を指させます", "今すぐ指す"},
    {CmdPlayFromHere, "盤上の局面からエンジンと対局します", "この局面から対局"},
    {CmdStrength, "エンジンの強さを選びます", "エンジンの強さ"},
    {CmdEngines, "解析に使うエンジンを選び、エンジンを追加してオプションを設定します", "エンジンの設定"},
    {CmdAppAbout, "バージョン情報を表示します", "バージョン情報"},
};

const CommandText* commandText(int id) {
    for (const CommandText& text : commandTexts)
        if (text.id == id) return &text;
    return nullptr;
}

// Toolbar buttons left to right; 0 is a gap.
const int toolbarButtons[] = {CmdNewGame, CmdFileOpen, CmdSave, 0, CmdSearch, CmdReload, 0, CmdFirst,
                              CmdBack, CmdForward, CmdLast, 0, CmdReplay, CmdResearch};
// clang-format on

} // namespace

CStatusPanes::CStatusPanes(QWidget* parent) : QWidget(parent) {
    for (int i = 0; i < 4; ++i) {
        auto* pane = new QLabel(QString::fromLatin1(paneLayouts[i].placeholder), this);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->setTextFormat(Qt::PlainText);
        m_widths[i] = pane->fontMetrics().horizontalAdvance(pane->text()) +
                      2 * pane->frameWidth() + 2 * pane->margin() + 6;
        m_panes[i] = pane;
    }
    LayOutPanes();
}

QLabel* CStatusPanes::Pane(int id) const {
    for (int i = 0; i < 4; ++i)
        if (paneLayouts[i].id == id) return m_panes[i];
    return nullptr;
}

void CStatusPanes::SetPaneText(int id, const QString& text) {
    QLabel* pane = Pane(id);
    if (!pane) return;
    // A path too long for its pane keeps its end, the file's name; the whole path is the
    // pane's tooltip.
    QString shown = text;
    if (id == PanePathName) {
        const int room = pane->contentsRect().width() - 2 * pane->margin() - 4;
        shown          = pane->fontMetrics().elidedText(text, Qt::ElideLeft, room);
        if (pane->toolTip() != text) pane->setToolTip(text);
    } else if (id == PaneMoveInfo) {
        // A long opening name runs past the pane's end: the whole line is then its tooltip.
        const int     room = pane->contentsRect().width() - 2 * pane->margin();
        const QString tip  = pane->fontMetrics().horizontalAdvance(text) > room ? text : QString();
        if (pane->toolTip() != tip) pane->setToolTip(tip);
    }
    if (pane->text() != shown) pane->setText(shown);
}

QSize CStatusPanes::sizeHint() const {
    int width = 0;
    for (const int pane : m_widths)
        width += pane + PaneGap;
    return {width - PaneGap, m_panes[0]->height()};
}

QSize CStatusPanes::minimumSizeHint() const { return {0, m_panes[0]->height()}; }

CMainFrame::CMainFrame(CNorvaneDoc* doc, QWidget* parent)
    : QMainWindow(parent), m_pDoc(doc), m_wndSplitter(new QSplitter(Qt::Horizontal, this)),
      m_pBoardView(new CNorvaneView(doc)), m_pGameView(new CGameView(doc)),
      m_pMoveList(new CMoveListView(doc)), m_pExplorer(new CExplorerView(doc)),
      m_pSideTabs(new QTabWidget),
      m_pProgress(new CProgressPane) {
    setWindowTitle("Norvane[*]"); // "*" while the game holds what no file holds
    // The board fills its pane and grows with it; a pane smaller than the smallest board
    // scrolls.
    m_pBoardPane = new QScrollArea;
    m_pBoardPane->setFrameShape(QFrame::NoFrame);
    m_pBoardPane->setWidgetResizable(true);
    m_pBoardPane->setWidget(m_pBoardView);
    // The evaluation bar stands left of the board, as tall as the board; hidden (taking no
    // room) until the analysis gives it a snapshot.
    auto* boardArea   = new QWidget;
    auto* boardLayout = new QHBoxLayout(boardArea);
    boardLayout->setContentsMargins(0, 0, 0, 0);
    boardLayout->setSpacing(EvalBar::Gap);
    m_pEvalBar = new EvalBar(boardArea);
    m_pEvalBar->FollowBoard(m_pBoardView, [view = m_pBoardView] {
        return static_cast<int>(view->Geometry().Side() / view->DevicePixelRatio());
    });
    boardLayout->addWidget(m_pEvalBar, 0, Qt::AlignTop);
    boardLayout->addWidget(m_pBoardPane, 1);
    // The clocks right of the board, while a game has them.
    m_pClockPane = new CClockPane(m_pBoardView, boardArea);
    boardLayout->addWidget(m_pClockPane, 0, Qt::AlignTop);
    m_wndSplitter->addWidget(boardArea);
    m_pSideTabs->setDocumentMode(true);
    m_pSideTabs->addTab(m_pGameView, QString::fromUtf8(StudyText::GameListTab));
    m_pSideTabs->addTab(m_pMoveList, QString::fromUtf8(StudyText::MoveListTab));
    m_pSideTabs->addTab(m_pExplorer, QString::fromUtf8(StudyText::ExplorerTab));
    m_wndSplitter->addWidget(m_pSideTabs);
    m_pExplorer->SetProgressPane(m_pProgress);
    doc->m_fileTask.SetProgressPane(m_pProgress);
    connect(&doc->m_fileTask, &CBackgroundTask::runningChanged, this, &CMainFrame::OnPassRunning);
    connect(doc, &CNorvaneDoc::passCancelled, this,
            [this](const QString& text) { statusBar()->showMessage(text, CancelNoticeMs); });
    connect(m_pExplorer, &CExplorerView::gamesListed, this,
            [this] { m_pSideTabs->setCurrentWidget(m_pGameView); });
    m_wndSplitter->setStretchFactor(0, 1);
    m_wndSplitter->setStretchFactor(1, 0);
    m_wndSplitter->setCollapsible(1, true);
    setCentralWidget(m_wndSplitter);
    setAcceptDrops(true);

    doc->AddCommands(m_commands);
    m_pBoardView->RegisterCommands(m_commands);
    m_pGameView->AddCommands(m_commands);
    m_commands.Add(
        CmdGameList, [this] { ShowGameList(!m_bShowGameList); }, {},
        [this] { return m_bShowGameList; });
    // The bars' own hidden state, which holds before the window is shown too.
    m_commands.Add(
        CmdViewToolbar, [this] { m_wndToolBar->setHidden(!m_wndToolBar->isHidden()); }, {},
        [this] { return m_wndToolBar && !m_wndToolBar->isHidden(); });
    m_commands.Add(
        CmdViewStatusBar, [this] { statusBar()->setHidden(!statusBar()->isHidden()); }, {},
        [this] { return !statusBar()->isHidden(); });
    m_commands.Add(CmdAppExit, [this] { close(); });
    m_commands.Add(CmdEngines, [this] {
        // A running analysis starts again with the engine and the options just chosen.
        if (runEnginesDialog(this) && IsAnalysing()) RestartAnalysis();
    });
    AddAnalysisCommand();
    AddReviewCommands();
    // A carried piece goes back to its square before any command runs.
    m_commands.SetPrelude([this] { m_pBoardView->CancelCarry(); });

    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &CMainFrame::UpdatePanes);
}

void CMainFrame::LoadFrame() {
    BuildMenus();
    BuildToolBar();
    m_pPanes = new CStatusPanes(this);
    statusBar()->addWidget(m_pPanes, 1);
    statusBar()->addPermanentWidget(m_pProgress);
    ShowGameList(false);
    m_pGameView->GetList()->setFocus();
}

void CMainFrame::BuildMenus() {
    for (const MenuLayout& menuLayout : menuLayouts) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(menuLayout.title));
        m_commands.WatchMenu(menu);
        for (const MenuItem& item : menuLayout.items) {
            if (item.id == 0) {
                menu->addSeparator();
                continue;
            }
            if (item.id == CmdRecentFile) {
                // The recent files' slots (the application's); the first one shows this
                // label, grayed, while the list is empty.
                if (!m_commands.Action(CmdRecentFile))
                    m_commands.Add(CmdRecentFile, {}, [] { return false; })->setText(QString::fromUtf8(item.text));
                for (int id = CmdRecentFile; id < CmdRecentFile + 16; ++id)
                    if (QAction* recent = m_commands.Action(id)) menu->addAction(recent);
                continue;
            }
            // A command that nobody handles stays grayed, as in any menu.
            QAction* action = m_commands.Action(item.id);
            if (!action) action = m_commands.Add(item.id, {}, [] { return false; });
            // A key hint after "\t" is only text to a menu: the key is set on the action.
            const QString text = QString::fromUtf8(item.text);
            const int     tab  = text.indexOf('\t');
            action->setText(text.left(tab));
            if (tab >= 0)
                action->setShortcut(QKeySequence::fromString(text.mid(tab + 1), QKeySequence::PortableText));
            if (const CommandText* strings = commandText(item.id)) {
                action->setStatusTip(QString::fromUtf8(strings->prompt));
                action->setToolTip(QString::fromUtf8(strings->tip));
            }
            menu->addAction(action);
        }
    }

    // The move list's menu: the editing commands, the same actions as the menu bar's.
    auto* editing = new QMenu(this);
    m_commands.WatchMenu(editing);
    for (int id : {CmdAddVariation, CmdPromoteLine, CmdDeleteLine, CmdDeleteAfter, 0, CmdEditComment, 0,
                   CmdMarkNone + 1, CmdMarkNone + 2, CmdMarkNone + 3, CmdMarkNone + 4, CmdMarkNone + 5,
                   CmdMarkNone + 6, CmdMarkNone, 0, CmdUndoEdit, CmdRedoEdit}) {
        if (id == 0) editing->addSeparator();
        else if (QAction* action = m_commands.Action(id)) editing->addAction(action);
    }
    m_pMoveList->SetContextMenu(editing);

    // The window's keys that no menu item shows: they work wherever the focus is.
    m_accelerators = {{QKeySequence(Qt::Key_Left), CmdBack},
                      {QKeySequence(Qt::Key_Right), CmdForward},
                      {QKeySequence(Qt::Key_Home), CmdFirst},
                      {QKeySequence(Qt::Key_End), CmdLast}};
    for (const Accelerator& accelerator : m_accelerators) {
        auto* key = new QAction(this);
        key->setShortcut(accelerator.key);
        key->setShortcutContext(Qt::WindowShortcut);
        connect(key, &QAction::triggered, this, [this, id = accelerator.id] { m_commands.Execute(id); });
        addAction(key);
    }
}

int CMainFrame::AcceleratorCommand(const QKeySequence& key) const {
    for (const Accelerator& accelerator : m_accelerators)
        if (accelerator.key == key) return accelerator.id;
    for (QAction* action : menuBar()->actions())
        if (QMenu* menu = action->menu())
            for (QAction* item : menu->actions())
                if (!item->shortcut().isEmpty() && item->shortcut() == key) return item->data().toInt();
    return 0;
}

void CMainFrame::BuildToolBar() {
    m_wndToolBar = new QToolBar(this);
    m_wndToolBar->setObjectName("toolbar");
    m_wndToolBar->setIconSize(QSize(16, 15));
    m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_wndToolBar->setMovable(true);
    addToolBar(Qt::TopToolBarArea, m_wndToolBar);

    // The button images stand side by side in one strip; magenta is transparent.
    QPixmap strip(":/images/toolbar.bmp");
    if (!strip.isNull()) strip.setMask(strip.createMaskFromColor(QColor(255, 0, 255)));
    int image = 0;
    for (int id : toolbarButtons) {
        if (id == 0) {
            m_wndToolBar->addSeparator();
            continue;
        }
        QAction* action = m_commands.Action(id);
        if (!action) continue;
        if (!strip.isNull()) action->setIcon(QIcon(strip.copy(16 * image, 0, 16, 15)));
        action->setIconVisibleInMenu(false);
        m_wndToolBar->addAction(action);
        ++image;
    }
}

void CMainFrame::ShowGameList(bool show) {
    const QPoint position = pos();
    m_bShowGameList       = show;
    // A maximised or full-screen window keeps its size; the list takes its share of it.
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
        resize(show ? WithListSize : BoardOnlySize);
        move(position);
    }
    // The layout takes the new size now, so that the splitter can be divided exactly.
    if (QLayout* frameLayout = layout()) frameLayout->activate();
    const int total = m_wndSplitter->width() - m_wndSplitter->handleWidth();
    m_wndSplitter->setSizes({show ? total - ListWidth : total, show ? ListWidth : 0});
    ShareSplitterWidth();
}

void CMainFrame::UpdatePanes() {
    if (!m_pPanes) return;
    for (const PaneLayout& pane : paneLayouts)
        m_pPanes->SetPaneText(pane.id, m_pDoc->GetPaneText(pane.id));
    m_pEvalBar->SetFlipped(m_pBoardView->m_mode & ModeFlipped);
    setWindowModified(m_pBoardView->IsGameModified());
}

void CMainFrame::OnPassRunning(bool running) {
    if (running) {
        m_pBoardView->CancelCarry();
        m_pFocusBeforePass = QApplication::focusWidget();
    }
    m_commands.Hold(running);
    m_wndSplitter->setEnabled(!running);
    if (!running && m_pFocusBeforePass && m_pFocusBeforePass->isEnabled() &&
        m_pFocusBeforePass->isVisible())
        m_pFocusBeforePass->setFocus();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // The engine's worker ends before the window and the document it uses go away; a pass
    // over the file ends soon after it is cancelled. A modified game is saved or let go
    // first: kept, the window stays and the engine thinks its move again.
    const bool thinking = m_pBoardView->IsThinking();
    m_pBoardView->AbandonThinking();
    if (!m_pBoardView->ConfirmDiscardGame()) {
        event->ignore();
        if (thinking) m_pBoardView->EngineReply();
        return;
    }
    m_pAnalysis->stop(); // no engine outlives the window
    m_pReview->Clear();
    m_pDoc->m_fileTask.Cancel();
    QMainWindow::closeEvent(event);
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_pGameView->GetList()->setFocus(Qt::ActiveWindowFocusReason);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (m_pDoc->IsPassRunning()) return; // one pass at a time
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            return;
        }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            emit openFileRequested(url.toLocalFile());
            return; // one document at a time: the first file
        }
}
