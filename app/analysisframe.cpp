// The analysis command of the main window and the pane's place: while analysis is on, the
// right column is a vertical splitter with the tabs above and the analysis pane below; off,
// the tabs stand in the window's splitter alone, as they do when analysis was never used.
#include <QSplitter>
#include <QTabWidget>

#include "app/analysissession.h"
#include "app/analysissettings.h"
#include "app/commands.h"
#include "app/enginelist.h"
#include "app/mainframe.h"
#include "view/analysispane.h"
#include "view/evalbar.h"
#include "view/norvaneview.h"

void CMainFrame::AddAnalysisCommand() {
    // The session is there from the start (it runs no engine until analysis is switched on),
    // so that whatever follows the analysis connects to it once.
    m_pAnalysis = new AnalysisSession(this);
    connect(m_pAnalysis, &AnalysisSession::failed, this, [this](const QString& message) {
        if (m_pAnalysisPane) m_pAnalysisPane->ShowFailure(message);
    });
    // The bar and the arrows draw from the same snapshots as the pane; an empty one (a new
    // position) clears them, and they go with the analysis.
    connect(m_pAnalysis, &AnalysisSession::snapshotChanged, this,
            [this](const AnalysisSnapshot& snapshot) {
                m_pEvalBar->ShowAnalysis(&snapshot);
                m_pBoardView->ShowAnalysisArrows(&snapshot);
            });
    connect(m_pAnalysis, &AnalysisSession::analysisEnded, this, [this] {
        m_pEvalBar->ShowAnalysis(nullptr);
        m_pBoardView->ShowAnalysisArrows(nullptr);
    });
    m_commands.Add(
        CmdAnalysis, [this] { IsAnalysing() ? StopAnalysis() : StartAnalysis(); }, {},
        [this] { return IsAnalysing(); });
}

bool CMainFrame::IsAnalysing() const { return m_pAnalysis->isRunning(); }

void CMainFrame::StartAnalysis() { StartAnalysis(analysisEngine()); }

void CMainFrame::StartAnalysis(const EngineEntry& engine) {
    if (IsAnalysing()) return;
    ShowAnalysisPane();
    m_pAnalysis->start(engine, analysisLineCount());
    // A program that could not start has failed already; its message is in the pane.
    m_pAnalysisPane->FollowShownPosition();
}

void CMainFrame::RestartAnalysis() {
    m_pAnalysis->stop();
    m_pAnalysis->start(analysisEngine(), analysisLineCount());
    if (m_pAnalysisPane) m_pAnalysisPane->FollowShownPosition();
}

void CMainFrame::StopAnalysis() {
    m_pAnalysis->stop();
    HideAnalysisPane();
}

void CMainFrame::ShowAnalysisPane() {
    if (m_pAnalysisPane) return;
    const int index = m_wndSplitter->indexOf(m_pSideTabs);
    if (index < 0) return;
    m_pRightColumn = new QSplitter(Qt::Vertical);
    m_pRightColumn->setChildrenCollapsible(false);
    m_wndSplitter->replaceWidget(index, m_pRightColumn);
    m_pRightColumn->addWidget(m_pSideTabs);
    m_pAnalysisPane = new CAnalysisPane(m_pDoc, m_pAnalysis);
    m_pRightColumn->addWidget(m_pAnalysisPane);
    m_pRightColumn->setStretchFactor(0, 1);
    m_pRightColumn->setStretchFactor(1, 0);
    m_pSideTabs->show();
    m_pRightColumn->show();
    // The pane opens the list's column when it was closed, and closes it again with analysis.
    if (!m_bShowGameList) {
        ShowGameList(true);
        m_bListOpenedForAnalysis = true;
    }
    // The column is as tall as the window's splitter (its own height is not laid out yet): the
    // pane takes the room its lines ask for, up to three fifths of it.
    const int total = m_wndSplitter->height() - m_pRightColumn->handleWidth();
    const int pane  = std::min(m_pAnalysisPane->sizeHint().height(), total * 3 / 5);
    m_pRightColumn->setSizes({total - pane, pane});
}

void CMainFrame::HideAnalysisPane() {
    if (!m_pAnalysisPane) return;
    const int index = m_wndSplitter->indexOf(m_pRightColumn);
    if (index >= 0) m_wndSplitter->replaceWidget(index, m_pSideTabs);
    m_pSideTabs->show();
    // The column and the pane in it go once the command that hid them is over.
    m_pRightColumn->deleteLater();
    m_pRightColumn  = nullptr;
    m_pAnalysisPane = nullptr;
    if (m_bListOpenedForAnalysis && m_bShowGameList) ShowGameList(false);
    m_bListOpenedForAnalysis = false;
}
