// The board view's play flow: the game against the engine, new games, loading a game for
// viewing, stepping along the game or the research line, replay, research, take back, and
// the move line of the status bar.
#include <cstring>
#include <ctime>

#include "app/norvanedoc.h"
#include "book/openings.h"
#include "engine/makemove.h"
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

// The wait cursor around the engine's thinking, restored on every way out.
template <class Show> class WaitScope {
public:
    explicit WaitScope(Show show) : m_show(show) { m_show(true); }
    ~WaitScope() { m_show(false); }
    WaitScope(const WaitScope&)            = delete;
    WaitScope& operator=(const WaitScope&) = delete;

private:
    Show m_show;
};

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
    std::memset(&gameHeader, 0, sizeof gameHeader);
    gameHeader.info = NoEco;
    setField(gameHeader.event, ViewText::ComputerEvent);
    setField(gameHeader.site, ViewText::ComputerSite);
    const std::time_t now = std::time(nullptr);
    std::tm           local{};
    localtime_r(&now, &local);
    char date[128];
    if (std::strftime(date, sizeof date, "%Y.%m.%d", &local) == 0) date[0] = '\0';
    setField(gameHeader.date, date);
    if (engineSide == White) setField(gameHeader.white, ViewText::EngineName);
    if (engineSide == Black) setField(gameHeader.black, ViewText::EngineName);
}

void CNorvaneView::OnInitialUpdate() {
    COSBView::OnInitialUpdate();
    StopReplay();
    PutBack();
    m_mode &= DisplayModes;
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
    m_engineSide = EngineNone;
    ClearResearch();
    ClearGameSan();
    // The SAN of every move needs its position: play the game through and back to the start.
    setupStartKeepingMoves();
    gamePly = 0;
    for (int i = 0; i < MaxGameMoves && gameMoves[i].piece; ++i) {
        moveToSan(gameMoves[i], m_gameSan[i]);
        makeMove(gameMoves[i]);
    }
    setupStartKeepingMoves();
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
}

void CNorvaneView::SetResult(int resultBit) {
    gameHeader.info = static_cast<std::uint16_t>((gameHeader.info & ~ResultMask) | resultBit);
}

// --- The engine -------------------------------------------------------------------------

void CNorvaneView::EngineReply() {
    // Show the user's move before the engine takes the thread.
    repaint();
    const int engine = board.sideToMove;
    Move      m{};
    int       score;
    {
        WaitScope wait([this](bool on) { SetWaitCursor(on); });
        score = Think(engine, &m);
    }
    const int engineWins = engine == White ? WhiteWon : BlackWon;
    const int userWins   = engine == White ? BlackWon : WhiteWon;
    if (score == -32767) {
        MessageBox(QString::fromUtf8(ViewText::Resigns));
        SwitchTo(ModeViewing);
        SetResult(userWins);
        return;
    }
    if (score == 0 && mateStatus(board.sideToMove) == Stalemated) {
        MessageBox(QString::fromUtf8(ViewText::Stalemate));
        SwitchTo(ModeViewing);
        SetResult(Drawn);
        return;
    }
    if (m.piece == NoPiece) return; // no move and no verdict: nothing to play
    StoreGameMove(m);
    StepForward();
    switch (mateStatus(board.sideToMove)) {
    case Checkmated:
        SetResult(engineWins);
        MessageBox(QString::fromUtf8(ViewText::Checkmate));
        SwitchTo(ModeViewing);
        break;
    case Stalemated:
        SetResult(Drawn);
        MessageBox(QString::fromUtf8(ViewText::Stalemate));
        SwitchTo(ModeViewing);
        break;
    default:
        Beep(); // the user's turn
        break;
    }
}

void CNorvaneView::OnNewGame() {
    int choice = Black;
    if (!AskNewGame(choice) || choice < White || choice > EngineNone) return;
    NewDocument();
    PrepareComputerGame(choice);
    GetDocument()->m_strMoveInfo.clear();
    if (m_engineSide == board.sideToMove) EngineReply();
}

// --- Stepping ---------------------------------------------------------------------------

bool CNorvaneView::StepForwardQuietly() {
    PutBack(); // a carried piece must stand on its square before sprites move
    const bool research = m_mode & ModeResearch;
    Move*      line     = research ? m_researchMoves : gameMoves;
    int&       counter  = research ? m_researchCount : gamePly;
    if (counter >= MaxGameMoves || line[counter].piece == NoPiece) return false;
    if (!ApplyMoveToSprites(line[counter])) return false;
    makeMove(line[counter]);
    ++counter;
    return true;
}

bool CNorvaneView::StepBackQuietly() {
    PutBack();
    const bool research = m_mode & ModeResearch;
    Move*      line     = research ? m_researchMoves : gameMoves;
    int&       counter  = research ? m_researchCount : gamePly;
    if (counter <= 0 || !RetractMoveOnSprites(line[counter - 1])) return false;
    unmakeMove(line[counter - 1]);
    --counter;
    return true;
}

void CNorvaneView::ShowStep() {
    // The whole board is drawn: the steps' dirty rectangles are covered.
    EmptyDirtyList();
    Render(nullptr);
    Draw(nullptr);
    ComposeMoveInfo();
    GetDocument()->UpdateAllViews(this, HintPositionChanged);
}

void CNorvaneView::StepForward() {
    if (StepForwardQuietly()) ShowStep();
}

void CNorvaneView::StepBack() {
    if (StepBackQuietly()) ShowStep();
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

bool CNorvaneView::CanNavigate() const {
    return !IsReplaying() && !((m_mode & ModePlaying) && m_engineSide != EngineNone);
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
    return (m_mode & ModePlaying) && m_engineSide != EngineNone && gamePly > 1;
}

void CNorvaneView::OnTakeBack() {
    StepBack();
    StepBack();
}

void CNorvaneView::OnEndGame() {
    if (m_mode & ModePlaying) SwitchTo(ModeViewing);
}

// --- Replay and research ----------------------------------------------------------------

void CNorvaneView::StopReplay() {
    StopReplayTimer();
    m_mode &= ~ModeReplaying;
    if (CNorvaneDoc* doc = GetDocument()) doc->m_stateFlags &= ~ReplayRunning;
}

void CNorvaneView::OnReplay() {
    if (!(m_mode & ModeViewing)) return;
    if (IsReplaying()) {
        StopReplay();
        return;
    }
    StartReplayTimer();
    m_mode |= ModeReplaying;
    GetDocument()->m_stateFlags |= ReplayRunning;
}

void CNorvaneView::OnTimer(int id) {
    if (id != ReplayTimerId) return;
    if (IsReplaying() && StepForwardQuietly())
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
    if (n == 0) {
        line.clear();
        if (m_mode & ModeViewing)
            line = recordText(gameHeader.white) + " - " + recordText(gameHeader.black);
        return;
    }
    line                  = QString(n % 2 ? "%1 . " : "%1 . . . ").arg((n + 1) / 2);
    const bool onResearch = (m_mode & ModeResearch) && m_researchCount > 0;
    line += QString::fromLatin1(onResearch    ? m_researchSan[m_researchCount - 1]
                                : gamePly > 0 ? m_gameSan[gamePly - 1]
                                              : "");
    if ((m_mode & ModeViewing) && !(m_mode & ModeResearch) && !HasNextMove()) {
        const int info = gameHeader.info;
        line += (info & WhiteWon)   ? "  1-0"
                : (info & BlackWon) ? "  0-1"
                : (info & Drawn)    ? "  1/2-1/2"
                                    : "  *";
    }
    if (const int eco = findOpening(board.hashKey); eco != NoOpening) {
        char code[4];
        ecoCodeText(eco, code);
        line +=
            QString("  %1 %2").arg(QString::fromLatin1(code), QString::fromUtf8(openingName(eco)));
    }
}
