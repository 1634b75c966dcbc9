// The board view's play flow: the game against the engine, new games, loading a game for
// viewing, stepping along the game or the research line, replay, research, take back, and
// the move line of the status bar.
#include <QSettings>

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "app/currentgame.h"
#include "app/norvanedoc.h"
#include "app/recoveryfile.h"
#include "book/namedline.h"
#include "engine/makemove.h"
#include "records/annotations.h"
#include "records/san.h"
#include "resources/viewtexts.h"
#include "view/norvaneview.h"
#include "view/recordtext.h"

namespace {

// Copies text into a header field, cut to fit.
void setField(char (&field)[TagFieldSize], const char* text) {
    std::strncpy(field, text, TagFieldSize - 1);
    field[TagFieldSize - 1] = '\0';
}

} // namespace

void CNorvaneView::ClearResearch() {
    m_researchCount = 0;
    std::memset(m_researchMoves, 0, sizeof m_researchMoves);
    std::memset(m_researchSan, 0, sizeof m_researchSan);
}

void CNorvaneView::ClearGameSan() { std::memset(m_gameSan, 0, sizeof m_gameSan); }

void CNorvaneView::PrepareComputerGame(int engineSide) {
    m_engineSide = engineSide;
    SwitchTo(ModePlaying);
    ChooseGameOpponent();
    // A new game: not the file's game any more, and nothing in it yet to lose.
    GetDocument()->m_loadedGame = -1;
    SetGameModified(false);
    StopGameClock();
    m_clock.reset(TimeControl{});
    m_endReason.clear();
    m_keepPending = m_gameKept = false;
    std::memset(&gameHeader, 0, sizeof gameHeader);
    gameHeader.info = NoEco;
    gameAnnotations.clear();
    setField(gameHeader.event, ViewText::ComputerEvent);
    setField(gameHeader.site, ViewText::ComputerSite);
    const std::time_t now = std::time(nullptr);
    std::tm           local{};
    localtime_r(&now, &local);
    char date[128];
    if (std::strftime(date, sizeof date, "%Y.%m.%d", &local) == 0) date[0] = '\0';
    setField(gameHeader.date, date);
    const std::string engineName = OpponentName().toStdString();
    if (engineSide == White) setField(gameHeader.white, engineName.c_str());
    if (engineSide == Black) setField(gameHeader.black, engineName.c_str());
    takeCurrentGameFromGlobals();
}

void CNorvaneView::OnInitialUpdate() {
    COSBView::OnInitialUpdate();
    StopReplay();
    PutBack();
    m_mode &= DisplayModes;
    TurnBoardFor(EngineNone);
    ClearResearch();
    ClearGameSan();
    if (!GetDocument()->m_games.empty())
        OnUpdate(this, HintReloadGame);
    else
        PrepareComputerGame(Black);
    RebuildSprites();
    GetDocument()->UpdateAllViews(this, HintRebuildList | HintPositionChanged);
}

void CNorvaneView::OnUpdate(CView* sender, int hint) {
    if (hint & HintOpeningNames) ComposeMoveInfo();
    if (!(hint & HintReloadGame)) return;
    LoadForViewing();
    // A game of the file found by its position opens there (a pasted game does not).
    if (const std::uint64_t key = GetDocument()->m_filter.positionKey; key && sender != this)
        StepToPosition(key);
}

void CNorvaneView::LoadForViewing() {
    StopReplay();
    PutBack();
    SwitchTo(ModeViewing);
    TurnBoardFor(EngineNone);
    m_engineSide = EngineNone;
    EndOpponentEngine();
    m_gameOpponent.reset();
    SetGameModified(false); // a game just loaded is what its source holds
    m_keepPending = m_gameKept = false;
    StopGameClock();
    m_clock.reset(TimeControl{});
    m_endReason.clear();
    // Every load reads into the tree; a game set into the globals alone is taken from them.
    if (!currentTreeMatchesGlobals()) takeCurrentGameFromGlobals();
    ClearResearch();
    ClearGameSan();
    // The SAN of every move needs its position: play the game through and back to the start.
    setupGameStart();
    gamePly = 0;
    for (int i = 0; i < MaxGameMoves && gameMoves[i].piece; ++i) {
        moveToSan(gameMoves[i], m_gameSan[i]);
        makeMove(gameMoves[i]);
    }
    setupGameStart();
    RebuildSprites();
    GetDocument()->UpdateAllViews(this, HintPositionChanged);
    ComposeMoveInfo();
}

// --- Storing moves ----------------------------------------------------------------------

void CNorvaneView::StoreUserMove(const Move& m) {
    if (m_mode & ModePlaying) {
        StoreGameMove(m);
        return;
    }
    moveToSan(m, m_researchSan[m_researchCount]);
    m_researchSan[m_researchCount + 1][0]      = '\0';
    m_researchMoves[m_researchCount]           = m;
    m_researchMoves[m_researchCount + 1].piece = NoPiece;
}

void CNorvaneView::StoreGameMove(const Move& m) {
    moveToSan(m, m_gameSan[gamePly]);
    m_gameSan[gamePly + 1][0]    = '\0';
    gameMoves[gamePly]           = m;
    gameMoves[gamePly + 1].piece = NoPiece;
    GameMoveStored();
}

void CNorvaneView::SetResult(int resultBit) {
    gameHeader.info = static_cast<std::uint16_t>((gameHeader.info & ~ResultMask) | resultBit);
    syncPlayedGame();
}

// --- The engine -------------------------------------------------------------------------

void CNorvaneView::PlayEngineReply(const Move& m, int score) {
    // The user may be looking back: the reply belongs at the game's end, and the player
    // expects to see it played there.
    GoToGameEnd();
    const int engine     = board.sideToMove;
    const int engineWins = engine == White ? WhiteWon : BlackWon;
    const int userWins   = engine == White ? BlackWon : WhiteWon;
    // Each end: the result into the game and onto the move line, then the message.
    const auto end = [this](int result, const char* message) {
        StopGameClock();
        EndOpponentEngine();
        SwitchTo(ModeViewing);
        SetResult(result);
        KeepPlayedGame(true);
        ComposeMoveInfo();
        MessageBox(QString::fromUtf8(message));
    };
    if (score == -32767) {
        end(userWins, ViewText::Resigns);
        return;
    }
    if (score == 0 && mateStatus(board.sideToMove) == Stalemated) {
        end(Drawn, ViewText::Stalemate);
        return;
    }
    if (m.piece == NoPiece) return; // no move and no verdict: nothing to play
    m_lastEngineScore = score;
    if (EngineClaimsDraw(score)) return;
    StoreGameMove(m);
    StepForward();
    if (!AfterGameMove()) return;
    switch (mateStatus(board.sideToMove)) {
    case Checkmated:
        end(engineWins, ViewText::Checkmate);
        break;
    case Stalemated:
        end(Drawn, ViewText::Stalemate);
        break;
    default:
        Beep(); // the user's turn
        break;
    }
}

bool CNorvaneView::RecordGameEnd() {
    switch (mateStatus(board.sideToMove)) {
    case Checkmated:
        SetResult(board.sideToMove == White ? BlackWon : WhiteWon);
        break;
    case Stalemated:
        SetResult(Drawn);
        break;
    default:
        return false;
    }
    ComposeMoveInfo();
    return true;
}

void CNorvaneView::OnNewGame() {
    int choice = Black;
    if (!AskNewGame(choice) || choice < White || choice > EngineNone) return;
    if (!ConfirmDiscardGame()) return;
    const bool keepFile = QSettings().value(KeepFileOnNewKey, false).toBool();
    if (keepFile && !GetDocument()->GetPathName().isEmpty())
        ResetForNewGame();
    else
        NewDocument();
    PrepareComputerGame(choice);
    if (TurnBoardFor(choice)) RebuildSprites();
    GetDocument()->UpdateAllViews(this, HintPositionChanged);
    GetDocument()->m_strMoveInfo.clear();
    StartGameClock();
    StartOpponentEngine();
    if (m_engineSide == board.sideToMove) EngineReply();
}

// --- Stepping ---------------------------------------------------------------------------

bool CNorvaneView::StepForwardQuietly(bool animate) {
    PutBack(); // a carried piece must stand on its square before sprites move
    FinishMoveAnimation();
    const bool research = m_mode & ModeResearch;
    Move*      line     = research ? m_researchMoves : gameMoves;
    int&       counter  = research ? m_researchCount : gamePly;
    if (counter >= MaxGameMoves || line[counter].piece == NoPiece) return false;
    // The slides are prepared only for a step the sprites take (the same checks).
    const std::vector<PendingSlide> slides =
        animate ? PrepareSlides(line[counter], true) : std::vector<PendingSlide>{};
    if (!ApplyMoveToSprites(line[counter])) return false;
    makeMove(line[counter]);
    ++counter;
    StartSlides(slides);
    return true;
}

bool CNorvaneView::StepBackQuietly(bool animate) {
    PutBack();
    FinishMoveAnimation();
    const bool research = m_mode & ModeResearch;
    Move*      line     = research ? m_researchMoves : gameMoves;
    int&       counter  = research ? m_researchCount : gamePly;
    if (counter <= 0) return false;
    const std::vector<PendingSlide> slides =
        animate ? PrepareSlides(line[counter - 1], false) : std::vector<PendingSlide>{};
    if (!RetractMoveOnSprites(line[counter - 1])) return false;
    unmakeMove(line[counter - 1]);
    --counter;
    StartSlides(slides);
    return true;
}

void CNorvaneView::ShowStep() {
    // The whole board is drawn: the steps' dirty rectangles are covered.
    EmptyDirtyList();
    MarkShownPosition();
    Render(nullptr);
    Draw(nullptr);
    ComposeMoveInfo();
    // While the engine thinks the status line tells its progress before the shown move.
    if (IsThinking()) {
        m_thinkLine = GetDocument()->m_strMoveInfo;
        ShowThinking();
    }
    GetDocument()->UpdateAllViews(this, HintPositionChanged);
}

void CNorvaneView::StepForward() {
    if (StepForwardQuietly(true)) ShowStep();
}

void CNorvaneView::StepBack() {
    if (StepBackQuietly(true)) ShowStep();
}

void CNorvaneView::StepToFirst() {
    if (!StepBackQuietly()) return;
    while (StepBackQuietly()) {
    }
    ShowStep();
}

void CNorvaneView::StepToLast() {
    if (!StepForwardQuietly()) return;
    while (StepForwardQuietly()) {
    }
    ShowStep();
}

void CNorvaneView::ResetForNewGame() {
    ReclaimEngine();
    StopReplay();
    PutBack();
    m_mode &= DisplayModes;
    ClearResearch();
    ClearGameSan();
    clearGame();
    GetDocument()->m_strMoveInfo.clear();
    RebuildSprites();
    GetDocument()->UpdateAllViews(this, HintPositionChanged);
}

bool CNorvaneView::TurnBoardFor(int engineSide) {
    const bool flipped = engineSide == White || m_userFlipped;
    if (flipped == ((m_mode & ModeFlipped) != 0)) return false;
    m_mode ^= ModeFlipped;
    return true;
}

// In a game against the engine the user may look back at earlier positions: the game stays
// as it is, the clock runs on and the engine's reply goes to the game's end.
bool CNorvaneView::CanNavigate() const { return !IsReplaying(); }

int CNorvaneView::GameLength() const {
    int n = 0;
    while (n < MaxGameMoves && gameMoves[n].piece != NoPiece)
        ++n;
    return n;
}

void CNorvaneView::GoToGameEnd() {
    if (!ShowsEarlierPosition()) return;
    while (StepForwardQuietly()) {
    }
    ShowStep();
}

bool CNorvaneView::HasNextMove() const {
    if (m_mode & ModeResearch)
        return m_researchCount < MaxGameMoves && m_researchMoves[m_researchCount].piece != NoPiece;
    return gamePly < MaxGameMoves && gameMoves[gamePly].piece != NoPiece;
}

bool CNorvaneView::HasPreviousMove() const {
    return (m_mode & ModeResearch) ? m_researchCount > 0 : gamePly > 0;
}

bool CNorvaneView::CanTakeBack() const {
    return PlaysEngine() && GameLength() > 1 && !IsThinking() &&
           GameSideToMove() != m_engineSide;
}

void CNorvaneView::OnTakeBack() {
    if (!CanTakeBack()) return;
    // From the game's end, whatever position is shown: the engine's reply and the user's
    // move go, and with them out of the game the user moves again from there.
    while (StepForwardQuietly()) {
    }
    if (!StepBackQuietly() || !StepBackQuietly()) {
        ShowStep();
        return;
    }
    gameMoves[gamePly].piece = NoPiece;
    m_gameSan[gamePly][0]    = '\0';
    syncPlayedGame();
    WriteRecoveryFile();
    ShowStep();
}

void CNorvaneView::OnEndGame() {
    if (!(m_mode & ModePlaying)) return;
    StopGameClock();
    EndOpponentEngine();
    SwitchTo(ModeViewing);
    // The game was left before its end.
    KeepPlayedGame();
}

// --- Replay and research ----------------------------------------------------------------

void CNorvaneView::StopReplay() {
    StopReplayTimer();
    m_mode &= ~ModeReplaying;
}

void CNorvaneView::OnReplay() {
    if (!(m_mode & ModeViewing)) return;
    if (IsReplaying()) {
        StopReplay();
        return;
    }
    StartReplayTimer();
    m_mode |= ModeReplaying;
}

void CNorvaneView::OnTimer(int id) {
    if (id != ReplayTimerId) return;
    // A replay slides its pieces unless it steps faster than a slide.
    if (IsReplaying() && StepForwardQuietly(m_replayTimer.interval() > MoveAnimationMs))
        ShowStep();
    else
        StopReplay();
}

void CNorvaneView::OnResearch() {
    if (!(m_mode & ModeViewing)) return;
    if (m_mode & ModeResearch) {
        // Back to where research began; the game's own moves stay made.
        StepToFirst();
        m_mode &= ~ModeResearch;
    } else {
        m_mode |= ModeResearch;
    }
    ClearResearch();
}

void CNorvaneView::OnFlip() {
    m_mode ^= ModeFlipped;
    // The user's own turn of the board stays for the next games and files.
    m_userFlipped = (m_mode & ModeFlipped) != 0;
    RebuildSprites();
}

void CNorvaneView::OnCoordinates() {
    m_mode ^= ModeCoordinates;
    RebuildSprites();
}

// --- The move line ----------------------------------------------------------------------

void CNorvaneView::ComposeMoveInfo() {
    QString&  line = GetDocument()->m_strMoveInfo;
    const int n    = gamePly + m_researchCount;
    if (gamePly + m_researchCount == 0) {
        line.clear();
        if (m_mode & ModeViewing)
            line = recordText(gameHeader.white) + " - " + recordText(gameHeader.black);
        if (!m_endReason.isEmpty()) line += "  " + m_endReason;
        if (ShowsEarlierPosition()) line += QString::fromUtf8(ViewText::EarlierPosition);
        return;
    }
    // Move numbers continue those of the game's start (a set-up position's FEN).
    const GameStart start = gameStart();
    const int       ply   = n - 1 + (start.blackFirst ? 1 : 0);
    line = QString(ply % 2 == 0 ? "%1 . " : "%1 . . . ").arg(start.moveNumber + ply / 2);
    const bool onResearch = (m_mode & ModeResearch) && m_researchCount > 0;
    line += QString::fromLatin1(onResearch    ? m_researchSan[m_researchCount - 1]
                                : gamePly > 0 ? m_gameSan[gamePly - 1]
                                              : "");
    // A finished game shows its result; so does a game in entry once it has one.
    const bool finished = (m_mode & ModeViewing) || (gameHeader.info & ResultMask);
    if (finished && !(m_mode & ModeResearch) && !HasNextMove()) {
        const int info = gameHeader.info;
        line += (info & WhiteWon)   ? "  1-0"
                : (info & BlackWon) ? "  0-1"
                : (info & Drawn)    ? "  1/2-1/2"
                                    : "  *";
        if (!m_endReason.isEmpty()) line += "  " + m_endReason;
    }
    const OpeningNameSettings& names = GetDocument()->m_openingNames;
    const NamedPosition        named =
        shownOpening(names, {gameMoves, static_cast<std::size_t>(gamePly)},
                     {m_researchMoves, static_cast<std::size_t>(m_researchCount)});
    char label[OpeningTextSize];
    openingLabelText(named, names, label, sizeof label);
    if (label[0]) line += "  " + QString::fromUtf8(label);
    if (ShowsEarlierPosition()) line += "  " + QString::fromUtf8(ViewText::EarlierPosition);
}
