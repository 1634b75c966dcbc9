// The game review's commands in the main window: 棋譜解析 (start, or cancel while it runs), its
// budget dialog, and the evaluation graph under the move list, shown or hidden (kept in the
// settings) and saved as a PNG. What a review judged is written into the game when it ends or
// is cancelled, as one edit that undo takes off.
#include <QFileDialog>
#include <QImageWriter>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>

#include "app/commands.h"
#include "app/currentgame.h"
#include "app/enginelist.h"
#include "app/mainframe.h"
#include "app/norvanedoc.h"
#include "app/reviewsession.h"
#include "app/reviewsettings.h"
#include "app/reviewsettingsdialog.h"
#include "review/annotatedpgn.h"
#include "review/reviewer.h"
#include "view/evalgraph.h"
#include "view/movelist.h"
#include "view/norvaneview.h"
#include "view/progresspane.h"
#include "view/reviewmarks.h"
#include "view/reviewpane.h"

namespace {

const char* const EvalGraphKey = "View/EvalGraph";

// How long the status bar tells how a review ended.
constexpr int ReviewNoticeMs = 10000;

} // namespace

void CMainFrame::AddReviewCommands() {
    m_pReview      = new ReviewSession(this);
    m_pReviewMarks = new ReviewMarks(this);
    m_pReview->SetProgressPane(m_pProgress);
    m_pMoveList->ShowReviewMarks(m_pReviewMarks);
    m_pReviewPane = new CReviewPane(m_pDoc, m_pReview, m_pReviewMarks);
    m_pMoveList->AddPaneBelow(m_pReviewPane);
    m_pReviewPane->setVisible(QSettings().value(EvalGraphKey, true).toBool());
    connect(m_pReview, &ReviewSession::reviewEnded, this,
            [this](ReviewOutcome outcome, const QString& message) {
                QString text;
                switch (outcome) {
                case ReviewOutcome::Done:
                    text = QStringLiteral("棋譜解析が終わりました。");
                    break;
                case ReviewOutcome::Cancelled:
                    text = QStringLiteral("棋譜解析を中止しました（%1 / %2 手を評価済み）。")
                               .arg(m_pReview->JudgedCount())
                               .arg(m_pReview->Moves().size());
                    break;
                case ReviewOutcome::Failed:
                    text = message;
                    break;
                }
                if (outcome != ReviewOutcome::Failed && m_pReview->JudgedCount() > 0 &&
                    KeepReviewInGame())
                    text += QStringLiteral("評価と注釈を棋譜に書き込みました（元に戻すで取り消せます）。");
                statusBar()->showMessage(text, ReviewNoticeMs);
            });

    m_commands.Add(
        CmdReviewGame, [this] { m_pReview->IsRunning() ? m_pReview->Cancel() : StartReview(); }, {},
        [this] { return m_pReview->IsRunning(); });
    m_commands.Add(CmdReviewSettings, [this] {
        ReviewBudget budget = reviewBudget();
        if (runReviewSettingsDialog(this, budget)) setReviewBudget(budget);
    });
    m_commands.Add(
        CmdEvalGraph, [this] { ShowEvalGraph(!IsEvalGraphShown()); }, {},
        [this] { return IsEvalGraphShown(); });
    m_commands.Add(CmdSaveEvalGraph, [this] {
        const QString path = AskGraphPicturePath();
        if (!path.isEmpty()) SaveEvalGraph(path);
    });
}

void CMainFrame::StartReview() {
    if (m_pReview->IsRunning()) return;
    ReviewGameInput game;
    if (!currentGameForReview(game)) {
        statusBar()->showMessage(
            QStringLiteral("この棋譜の開始局面を読めないため、解析できません。"), ReviewNoticeMs);
        return;
    }
    if (game.moves.empty()) {
        statusBar()->showMessage(QStringLiteral("解析する手がありません。"), ReviewNoticeMs);
        return;
    }
    // The marks and the graph are under the move list: it is shown, with the graph.
    if (!m_bShowGameList) ShowGameList(true);
    m_pSideTabs->setCurrentWidget(m_pMoveList);
    ShowEvalGraph(true);
    // The pane drops a review of another game first, and keeps this one while the game stays.
    m_pReviewPane->OnUpdate(nullptr, HintPositionChanged);
    m_pReview->Start(game, analysisEngine(), reviewBudget(), reviewThreads());
}

bool CMainFrame::KeepReviewInGame() {
    GameTree tree = currentGameTree();
    if (!writeReviewIntoTree(tree, m_pReview->Game(), m_pReview->Review())) return false;
    if (sameGame(tree, currentGameTree())) return true; // written already
    GameEditHistory& history = currentGameEdits();
    if (!history.replace(std::move(tree))) return false;
    // The board shows the same position, now with the review's glyphs and comments; while a
    // game is replayed or played the tree alone takes it, and the board shows it at the next
    // edit or load.
    CNorvaneView* view = m_pDoc->GetBoardView();
    if (view && view->CanEdit())
        view->ShowEditedPath(view->ShownPath());
    else if (view)
        view->SetGameModified(history.modified());
    return true;
}

void CMainFrame::ShowEvalGraph(bool shown) {
    m_pReviewPane->setVisible(shown);
    QSettings().setValue(EvalGraphKey, shown);
}

bool CMainFrame::IsEvalGraphShown() const { return !m_pReviewPane->isHidden(); }

bool CMainFrame::SaveEvalGraph(const QString& path) {
    QImageWriter writer(path, "png");
    if (writer.write(m_pReviewPane->GetGraph()->Picture())) {
        statusBar()->showMessage(QStringLiteral("評価グラフを %1 に保存しました。").arg(path),
                                 ReviewNoticeMs);
        return true;
    }
    m_pDoc->MessageBox(QStringLiteral("評価グラフを %1 に保存できません。").arg(path));
    return false;
}

QString CMainFrame::AskGraphPicturePath() {
    return QFileDialog::getSaveFileName(this, QStringLiteral("評価グラフを画像で保存"),
                                        QStringLiteral("評価グラフ.png"),
                                        QStringLiteral("PNG 画像 (*.png)"));
}
