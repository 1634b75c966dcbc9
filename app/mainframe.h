// CMainFrame: the main window. Menus, keys, toolbar and the four status-bar panes around a
// splitter with the board on the left and the game list on the right, which is hidden until
// a file is opened.
#pragma once

#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>

#include "app/docview.h"

class QLabel;
class AnalysisSession;
class CAnalysisPane;
struct EngineEntry;
class QScrollArea;
class QSplitter;
class QTabWidget;
class QToolBar;
class CExplorerView;
class EvalBar;
class CGameView;
class CMoveListView;
class CNorvaneDoc;
class CNorvaneView;
class CProgressPane;
class CReviewPane;
class ReviewMarks;
class ReviewSession;

// The status bar's panes side by side, each as wide as its placeholder text; panes past the
// window's right edge are cut off rather than widening the window. Room beyond their widths
// (a wide window) goes to the move line and the path (see statuspanewidths.cpp).
class CStatusPanes : public QWidget {
    Q_OBJECT
public:
    explicit CStatusPanes(QWidget* parent = nullptr);
    // The pane of a status identifier (PaneMoveInfo ...), or null.
    QLabel* Pane(int id) const;
    // Sets a pane's text, touching the pane only when the text changed.
    void  SetPaneText(int id, const QString& text);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static constexpr int PaneGap = 2; // pixels between panes

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Places the panes at their widths, the room beyond them shared by the first two.
    void LayOutPanes();

    QLabel* m_panes[4];
    int     m_widths[4]; // each pane's placeholder width
};

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // Window sizes of the board alone and of the board with the list, and the list's width.
    static constexpr QSize BoardOnlySize{318, 400}, WithListSize{680, 400};
    static constexpr int   ListWidth = 300, BoardWidth = 300;
    // How long the status bar says that a pass over the file was cancelled.
    static constexpr int CancelNoticeMs = 5000;

    // Makes the splitter with the two views of doc and adds the commands of the document, the
    // views and the frame to the command table. Menus and bars follow in LoadFrame.
    explicit CMainFrame(CNorvaneDoc* doc, QWidget* parent = nullptr);

    // Builds the menus, keys, toolbar and status bar from the command table (a command that
    // nobody handles is shown grayed), then hides the game list. Call once every command is in.
    void LoadFrame();

    // Stores show, and sets the window (at the same position) to 680 x 400 with the list 300
    // pixels wide, or to 318 x 400 with the list closed.
    void ShowGameList(bool show);
    bool IsGameListShown() const { return m_bShowGameList; }

    // Takes the panes' texts from the document; runs whenever the program is idle.
    void UpdatePanes();
    // A pass over the file starts (true) or has ended: meanwhile every command is grayed and
    // the board, the lists and the explorer take no input, so that nothing changes the
    // document; the progress pane and its cancel button stay live.
    void OnPassRunning(bool running);

    CCommandTable& Commands() { return m_commands; }
    CNorvaneView*  GetBoardView() const { return m_pBoardView; }
    CGameView*     GetGameView() const { return m_pGameView; }
    CExplorerView* GetExplorer() const { return m_pExplorer; }
    CMoveListView* GetMoveList() const { return m_pMoveList; }
    // The tabs of the right pane: the game list first, the move list and the opening
    // explorer beside it.
    QTabWidget*    GetSideTabs() const { return m_pSideTabs; }
    CProgressPane* GetProgressPane() const { return m_pProgress; }
    QSplitter*     GetSplitter() const { return m_wndSplitter; }
    // The scrolling pane that holds the board view.
    QScrollArea*   GetBoardPane() const { return m_pBoardPane; }
    // The evaluation bar left of the board pane; hidden until given a snapshot.
    EvalBar*       GetEvalBar() const { return m_pEvalBar; }
    CStatusPanes*  GetPanes() const { return m_pPanes; }
    QToolBar*      GetToolBar() const { return m_wndToolBar; }
    // Analysis (解析): the engine analyses the shown position in a pane below the tabs (the
    // list is opened for it when it was closed). Off, the window is as it was before; an
    // engine that fails switches it off and leaves its message in the pane until analysis is
    // switched on or off again.
    void StartAnalysis();
    // The same with engine, whatever engine analysis would choose.
    void StartAnalysis(const EngineEntry& engine);
    // The session ends and starts again with the analysis engine as the settings now name it.
    void RestartAnalysis();
    void StopAnalysis();
    bool IsAnalysing() const;
    // The session, there for the window's life: its snapshotChanged and analysisEnded tell
    // whatever else shows the analysis.
    AnalysisSession* GetAnalysis() const { return m_pAnalysis; }
    CAnalysisPane*   GetAnalysisPane() const { return m_pAnalysisPane; }
    // The game review (棋譜解析, reviewframe.cpp): the game on the board judged move by move in
    // the background by the analysis engine, its marks in the move list and its evaluations
    // in the graph under it as they come. Running, the command cancels it.
    void StartReview();
    // Writes what the review judged into the current game as one edit (undo takes it off):
    // marks as glyphs, evaluations as [%eval], explanations and better lines. False when the
    // game is no longer the one reviewed.
    bool KeepReviewInGame();
    ReviewSession* GetReview() const { return m_pReview; }
    ReviewMarks*   GetReviewMarks() const { return m_pReviewMarks; }
    // The evaluation graph and its lines, under the move list (hidden while switched off).
    CReviewPane*   GetReviewPane() const { return m_pReviewPane; }
    void           ShowEvalGraph(bool shown);
    bool           IsEvalGraphShown() const;
    // Saves the graph as a PNG at path; false (and a message) when it cannot be written.
    bool           SaveEvalGraph(const QString& path);
    // The command a window key (Left, Right) runs, or 0.
    int AcceleratorCommand(const QKeySequence& key) const;

signals:
    // A file was dropped on the window: it is to be opened like Open.
    void openFileRequested(const QString& path);

protected:
    // Where the graph's picture goes, asked of the user; empty when cancelled.
    virtual QString AskGraphPicturePath();
    // A running engine think is stopped first, and a running pass over the file cancelled.
    void closeEvent(QCloseEvent* event) override;
    // When the window becomes active the game list takes the keyboard focus.
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // A resized window shares its width again (ShareSplitterWidth), once the layout has
    // settled.
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBar();
    // With the list shown, the board pane keeps the width the board can use at the pane's
    // height (never less than at the standard size) and the list takes the rest, never less
    // than ListWidth: a large or maximised window widens the list instead of leaving empty
    // room beside the board.
    void ShareSplitterWidth();
    // The analysis command and the pane's place (analysisframe.cpp).
    void AddAnalysisCommand();
    void ShowAnalysisPane();
    void HideAnalysisPane();
    // The review's commands, its pane under the move list and their wiring (reviewframe.cpp).
    void AddReviewCommands();

    CNorvaneDoc*  m_pDoc;
    CCommandTable m_commands;
    CStatusPanes* m_pPanes      = nullptr;
    QToolBar*     m_wndToolBar  = nullptr;
    bool          m_bShowGameList = false;
    bool          m_bSharePending = false; // a ShareSplitterWidth is queued
    QSplitter*    m_wndSplitter;
    QScrollArea*  m_pBoardPane = nullptr;
    EvalBar*      m_pEvalBar   = nullptr;
    QWidget*      m_pClockPane = nullptr; // the clocks right of the board, shown in a timed game
    CNorvaneView* m_pBoardView;
    CGameView*    m_pGameView;
    CMoveListView* m_pMoveList;
    CExplorerView* m_pExplorer;
    QTabWidget*    m_pSideTabs;
    CProgressPane* m_pProgress;
    struct Accelerator {
        QKeySequence key;
        int          id;
    };
    std::vector<Accelerator> m_accelerators;
    QPointer<QWidget>        m_pFocusBeforePass; // gets the focus back when a pass ends
    AnalysisSession*         m_pAnalysis     = nullptr; // runs an engine while analysis is on
    CAnalysisPane*           m_pAnalysisPane = nullptr; // while the pane is shown
    QSplitter*               m_pRightColumn  = nullptr; // the tabs above the pane, while shown
    bool                     m_bListOpenedForAnalysis = false;
    ReviewSession*           m_pReview      = nullptr;
    ReviewMarks*             m_pReviewMarks = nullptr;
    CReviewPane*             m_pReviewPane  = nullptr;
};
