// The board view's side of the engine on its worker: starting the think, the status line while
// it runs, taking its move, stopping it (move now, New, Open, closing), the strength level, and
// a game against the engine from the position on the board.
#include <cstring>
#include <memory>

#include "app/norvanedoc.h"
#include "app/opponentengine.h"
#include "app/strengthdialog.h"
#include "engine/drawrules.h"
#include "engine/search.h"
#include "engine/timemanager.h"
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
    m_clockBase.start();
    m_flagTimer.setSingleShot(true);
    connect(&m_flagTimer, &QTimer::timeout, this, [this] { OnFlagTimer(); });
}

void CNorvaneView::EngineReply() {
    if (IsThinking()) return;
    if (m_gameOpponent) {
        UciEngineReply();
        return;
    }
    // Everything the worker reads is set before it starts; it thinks on its own Board, a copy
    // of this thread's, and the document's game stays as it is until the reply is played. The
    // search is made before the worker exists, so that a stop asked at once is not lost.
    m_thinkLine     = GetDocument()->m_strMoveInfo;
    playingStrength = m_strengthLevel;
    const int side  = board.sideToMove;
    // Under a clock the engine spends its share of it; the worker reads the limits in Think.
    m_thinkLimits = DesktopLimits;
    if (ClockRunning()) {
        const ClockBudget budget = clockBudget(m_clock.remaining(side, ClockNow()),
                                               m_clock.control().side[side].incrementMs, 0);
        m_thinkLimits.hardLimitMs = budget.hardLimitMs;
        m_thinkLimits.softLimitMs = budget.softLimitMs;
    }
    m_search        = std::make_shared<EngineSearch>(
        board, DesktopLimits, false,
        [this, side](int, Move* out, const ThinkLimits&) { return Think(side, out); });
    // The game's earlier positions, so that the search sees a repetition coming.
    if (m_researchCount == 0) m_search->setGameHistory(keysBeforeBoard(gameMoves, gamePly));
    const auto result = std::make_shared<EngineResult>();
    const auto think  = [search = m_search, result](PassControl&) { *result = search->run(); };
    SetWaitCursor(true);
    m_thinkClock.start();
    m_thinker.Start({}, 0, think,
                    [this, result](bool) { FinishThinking(result->move, result->score); });
    m_thinkTicker.start();
    ShowThinking();
}

void CNorvaneView::ClearThinkingMarks() {
    m_thinkTicker.stop();
    SetWaitCursor(false);
    if (CNorvaneDoc* doc = GetDocument()) doc->m_strMoveInfo = m_thinkLine;
}

void CNorvaneView::FinishThinking(const Move& m, int score) {
    ClearThinkingMarks();
    PlayEngineReply(m, score);
}

void CNorvaneView::RequestStop() {
    if (!IsThinking()) return;
    if (OpponentThinks()) {
        m_opponentEngine->moveNow(); // its answer comes as any other
        return;
    }
    m_search->requestStop();
    m_thinker.Cancel();
}

void CNorvaneView::ReclaimEngine() {
    if (!IsThinking()) return;
    // A UCI engine's answer cannot be waited for here: its move is dropped, the game kept.
    if (OpponentThinks()) {
        AbandonThinking();
        return;
    }
    m_search->requestStop();
    m_thinker.Finish(); // the move is played before this returns
}

void CNorvaneView::AbandonThinking() {
    if (!IsThinking()) return;
    if (OpponentThinks()) {
        m_opponentEngine->dropAnswer();
        ClearThinkingMarks();
        return;
    }
    m_search->requestStop();
    m_thinker.Abandon();
    ClearThinkingMarks();
}

void CNorvaneView::OnMoveNow() { RequestStop(); }

void CNorvaneView::ShowThinking() {
    if (!IsThinking()) return;
    if (OpponentThinks()) {
        ShowOpponentThinking();
        return;
    }
    const EngineProgress progress = m_search->progress();
    QString line = QString::fromUtf8(EngineText::Thinking).arg(m_thinkClock.elapsed() / 1000);
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
    if (!ConfirmDiscardGame()) return;
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
    StartGameClock();
    StartOpponentEngine();
    if (m_engineSide == board.sideToMove) EngineReply();
}
