// The board view's side of the engine on its worker: starting the think, the status line while
// it runs, taking its move, stopping it (move now, New, Open, closing), the strength level, and
// a game against the engine from the position on the board.
#include <cstring>

#include "app/norvanedoc.h"
#include "app/strengthdialog.h"
#include "engine/strength.h"
#include "records/fen.h"
#include "resources/enginetexts.h"
#include "resources/viewtexts.h"
#include "view/norvaneview.h"

namespace {

// How often the status line tells the think's progress.
constexpr int ThinkingTickMs = 250;

} // namespace

void CNorvaneView::ConnectEngine() {
    m_strengthLevel = storedStrengthLevel();
    strengthRandom  = static_cast<std::uint64_t>(clockMs());
    m_thinkTicker.setInterval(ThinkingTickMs);
    connect(&m_thinkTicker, &QTimer::timeout, this, [this] { ShowThinking(); });
    connect(&m_thinker, &CEngineThread::thinkingEnded, this, [this] {
        // A think the view already took back (New, Open) has nothing left to play.
        if (m_thinker.IsRunning() && m_thinker.HasEnded()) FinishThinking();
    });
}

void CNorvaneView::EngineReply() {
    if (IsThinking()) return;
    // Everything the worker reads is set before it starts; it thinks on a copy of the Board,
    // and the document's game stays as it is until the reply is played.
    m_thinkLine     = GetDocument()->m_strMoveInfo;
    playingStrength = m_strengthLevel;
    GetDocument()->m_stateFlags |= EngineThinking;
    SetWaitCursor(true);
    m_thinker.Start(board.sideToMove, [this](int side, Move* out) { return Think(side, out); });
    m_thinkTicker.start();
    ShowThinking();
}

void CNorvaneView::FinishThinking() {
    Move      m{};
    const int score = m_thinker.Finish(&m);
    m_thinkTicker.stop();
    GetDocument()->m_stateFlags &= ~EngineThinking;
    SetWaitCursor(false);
    GetDocument()->m_strMoveInfo = m_thinkLine;
    PlayEngineReply(m, score);
}

void CNorvaneView::ReclaimEngine() {
    if (!IsThinking()) return;
    m_thinker.RequestStop();
    FinishThinking();
}

void CNorvaneView::AbandonThinking() {
    if (!IsThinking()) return;
    m_thinker.RequestStop();
    Move dropped{};
    m_thinker.Finish(&dropped);
    m_thinkTicker.stop();
    if (CNorvaneDoc* doc = GetDocument()) {
        doc->m_stateFlags &= ~EngineThinking;
        doc->m_strMoveInfo = m_thinkLine;
    }
    SetWaitCursor(false);
}

void CNorvaneView::OnMoveNow() { m_thinker.RequestStop(); }

void CNorvaneView::ShowThinking() {
    if (!IsThinking()) return;
    const ThinkProgress progress = m_thinker.Progress();
    QString             line =
        QString::fromUtf8(EngineText::Thinking).arg(m_thinker.ElapsedMs() / 1000);
    if (progress.depth > 0)
        line += QString::fromUtf8(EngineText::Progress)
                    .arg(progress.depth)
                    .arg(QString::fromLatin1(progress.bestSan));
    if (!m_thinkLine.isEmpty()) line += "   " + m_thinkLine;
    GetDocument()->m_strMoveInfo = line;
}

// --- Strength ---------------------------------------------------------------------------

void CNorvaneView::OnStrength() {
    int level = m_strengthLevel;
    if (!AskStrength(level) || level < BeginnerStrength || level > FullStrength) return;
    // A running think keeps its level; the next one plays at the new level.
    m_strengthLevel = level;
    storeStrengthLevel(level);
}

bool CNorvaneView::AskStrength(int& level) {
    CStrengthDialog dialog(level, this);
    if (dialog.exec() != QDialog::Accepted) return false;
    level = dialog.m_choice;
    return true;
}

// --- Play from here ---------------------------------------------------------------------

void CNorvaneView::OnPlayFromHere() {
    if (!CanUseGame()) return;
    PutBack();
    // The user plays the side to move unless the dialog says otherwise.
    int choice = board.sideToMove ^ 1;
    if (!AskNewGame(choice) || choice < White || choice > EngineNone) return;
    char fen[TagFieldSize] = {};
    boardToText(fen, sizeof fen);

    StopReplay();
    PrepareComputerGame(choice);
    std::memcpy(gameHeader.fen, fen, sizeof fen);
    std::memset(gameMoves, 0, sizeof gameMoves);
    gamePly = 0;
    ClearResearch();
    ClearGameSan();
    setupGameStart();
    // The user's colour at the bottom; game entry keeps the board as it is.
    if (choice != EngineNone) {
        const bool userIsBlack = choice == White;
        m_mode = userIsBlack ? (m_mode | ModeFlipped) : (m_mode & ~ModeFlipped);
    }
    RebuildSprites();
    ComposeMoveInfo();
    GetDocument()->UpdateAllViews(this, HintPositionChanged);
    if (m_engineSide == board.sideToMove) EngineReply();
}
