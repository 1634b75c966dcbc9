// The board view's game against the engine under a clock and the rules that end a game: the
// clock pressed after each move and its flag timer, the engine's share of its clock, the
// automatic ends (dead position, fivefold repetition, seventy-five moves, a fallen flag), and
// the user's resign, draw claim and draw offer. Without a time control nothing runs here but
// the rule ends.
#include <QMessageBox>

#include <cstring>
#include <string>

#include "app/commands.h"
#include "app/currentgame.h"
#include "app/recoveryfile.h"
#include "app/docview.h"
#include "app/norvanedoc.h"
#include "engine/makemove.h"
#include "engine/timemanager.h"
#include "resources/gametexts.h"
#include "view/norvaneview.h"

namespace {

// The engine accepts a draw offered when its last score is at or below this (its own view).
constexpr int DrawOfferAcceptScore = -50;

// Replaces the tag name's line in the header's other tags, or adds it; a line that would not
// fit is left out (the tags already there stay whole).
void setOtherTag(const char* name, const std::string& value) {
    std::string       tags(gameHeader.otherTags);
    const std::string start = std::string("[") + name + " ";
    for (std::size_t at = 0; at < tags.size();) {
        const std::size_t end = tags.find('\n', at);
        const std::size_t next = end == std::string::npos ? tags.size() : end + 1;
        if (tags.compare(at, start.size(), start) == 0) {
            tags.erase(at, next - at);
            continue;
        }
        at = next;
    }
    const std::string line = start + "\"" + value + "\"]\n";
    if (tags.size() + line.size() < OtherTagsSize) tags += line;
    std::memcpy(gameHeader.otherTags, tags.c_str(), tags.size() + 1);
}

} // namespace

std::int64_t CNorvaneView::ClockNow() const {
    return m_clockBase.isValid() ? m_clockBase.elapsed() : 0;
}

bool CNorvaneView::CanUseGameEnd() const {
    // The user's turn at the game's last position, wherever the user is looking.
    return PlaysEngine() && !IsThinking() && !IsReplaying() && m_engineSide != GameSideToMove();
}

void CNorvaneView::RegisterGameEndCommands(CCommandTable& table) {
    const auto usable = [this] { return CanUseGameEnd(); };
    table.Add(CmdResign, [this] { OnResign(); }, usable);
    table.Add(CmdClaimDraw, [this] { OnClaimDraw(); }, usable);
    table.Add(CmdOfferDraw, [this] { OnOfferDraw(); }, usable);
}

// --- The clock --------------------------------------------------------------------------

void CNorvaneView::StartGameClock() {
    const bool timed = (m_mode & ModePlaying) && m_engineSide != EngineNone && m_timeControl.isSet();
    m_clock.reset(timed ? m_timeControl : TimeControl{});
    m_flagTimer.stop();
    if (!timed) return;
    // The control goes into the game's tags from its start, so that saving and the recovery
    // file write it while the game goes on; the game has no move yet, so it is taken afresh.
    for (const auto& [name, value] : timeControlTags(m_timeControl)) setOtherTag(name.c_str(), value);
    takeCurrentGameFromGlobals();
    m_clock.start(board.sideToMove, ClockNow());
    ArmFlagTimer();
}

void CNorvaneView::NoteMoveClock(int mover) {
    const std::string command = clockCommand(m_clock.remaining(mover, ClockNow()));
    if (gamePly <= 0) return;
    setPlayedMoveClock(gamePly - 1, command);
    // The recovery file of a game with a clock is written here, with the move's clock time.
    WriteRecoveryFile();
}

void CNorvaneView::StopGameClock() {
    if (ClockRunning()) m_clock.stop(ClockNow());
    m_flagTimer.stop();
}

void CNorvaneView::ArmFlagTimer() {
    const std::int64_t left = m_clock.untilFlag(ClockNow());
    if (left < 0) {
        m_flagTimer.stop();
        return;
    }
    // A little after the fall, so that the clock has reached zero when it is read.
    m_flagTimer.start(static_cast<int>(std::min<std::int64_t>(left + 5, 24 * 3600 * 1000)));
}

void CNorvaneView::OnFlagTimer() {
    if (!ClockRunning() || !(m_mode & ModePlaying)) return;
    const int side = m_clock.flagFallen(ClockNow());
    if (side < 0) {
        ArmFlagTimer();
        return;
    }
    // The engine's move is still to come: it is dropped, as the game is over.
    AbandonThinking();
    // The fall is judged, and shown, on the game's last position.
    GoToGameEnd();
    const int winner = flagFallWinner(board, side);
    if (winner < 0)
        EndGame(Drawn, GameText::DrawOnTime, "time forfeit");
    else
        EndGame(winner == White ? WhiteWon : BlackWon,
                winner == White ? GameText::WhiteWinsOnTime : GameText::BlackWinsOnTime,
                "time forfeit");
}

// --- Ends -------------------------------------------------------------------------------

DrawHistory CNorvaneView::GameDrawHistory() {
    // Back to the game's start, then forward again, recording each position.
    for (int i = gamePly; i > 0; --i) unmakeMove(gameMoves[i - 1]);
    DrawHistory history;
    history.start(gameStart().halfMoveClock);
    for (int i = 0; i < gamePly; ++i) {
        makeMove(gameMoves[i]);
        history.played(gameMoves[i]);
    }
    return history;
}

bool CNorvaneView::AfterGameMove() {
    if (!(m_mode & ModePlaying) || m_engineSide == EngineNone) return true;
    if (ClockRunning()) {
        const int  mover  = board.sideToMove ^ 1;
        const bool inTime = m_clock.press(ClockNow());
        NoteMoveClock(mover);
        if (!inTime) {
            const int winner = flagFallWinner(board, mover);
            EndGame(winner < 0 ? Drawn : winner == White ? WhiteWon : BlackWon,
                    winner < 0           ? GameText::DrawOnTime
                    : winner == White    ? GameText::WhiteWinsOnTime
                                         : GameText::BlackWinsOnTime,
                    "time forfeit");
            return false;
        }
        ArmFlagTimer();
    }
    switch (GameDrawHistory().outcome()) {
    case OutcomeInsufficient: EndGame(Drawn, GameText::DrawDeadPosition, "normal"); return false;
    case OutcomeFivefold: EndGame(Drawn, GameText::DrawFivefold, "normal"); return false;
    case OutcomeSeventyFive: EndGame(Drawn, GameText::DrawSeventyFive, "normal"); return false;
    default: return true;
    }
}

void CNorvaneView::EndGame(int result, const char* reason, const char* termination) {
    GoToGameEnd();
    StopGameClock();
    PutBack(); // a piece the user holds when the flag falls goes home: no move can follow
    EndOpponentEngine();
    SwitchTo(ModeViewing);
    SetResult(result);
    m_endReason = QString::fromUtf8(reason);
    setOtherTag("Termination", termination);
    for (const auto& [name, value] : timeControlTags(m_clock.control())) setOtherTag(name.c_str(), value);
    KeepPlayedGame(true);
    ComposeMoveInfo();
    GetDocument()->UpdateAllViews(this, HintPositionChanged);
    MessageBox(m_endReason);
}

bool CNorvaneView::EngineClaimsDraw(int score) {
    if (score > 0 || !(m_mode & ModePlaying)) return false;
    const int claims = GameDrawHistory().claimable();
    if (claims == ClaimNone) return false;
    EndGame(Drawn, (claims & ClaimThreefold) ? GameText::DrawThreefold : GameText::DrawFifty, "normal");
    return true;
}

void CNorvaneView::OnResign() {
    if (!CanUseGameEnd() || !AskYesNo(QString::fromUtf8(GameText::ResignConfirm))) return;
    const int user = m_engineSide ^ 1;
    EndGame(user == White ? BlackWon : WhiteWon,
            user == White ? GameText::WhiteResigns : GameText::BlackResigns, "normal");
}

void CNorvaneView::OnClaimDraw() {
    if (!CanUseGameEnd()) return;
    GoToGameEnd();
    const int claims = GameDrawHistory().claimable();
    if (claims == ClaimNone) {
        MessageBox(QString::fromUtf8(GameText::NothingToClaim));
        return;
    }
    EndGame(Drawn, (claims & ClaimThreefold) ? GameText::DrawThreefold : GameText::DrawFifty, "normal");
}

void CNorvaneView::OnOfferDraw() {
    if (!CanUseGameEnd()) return;
    if (GameLength() == 0 || m_lastEngineScore > DrawOfferAcceptScore) {
        MessageBox(QString::fromUtf8(GameText::OfferDeclined).arg(OpponentName()));
        return;
    }
    EndGame(Drawn, GameText::DrawAgreed, "normal");
}
