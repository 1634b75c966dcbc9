// Moves and positions chosen beside the board: the opening explorer's moves, the move
// list's clicks, and a game opened at the position a search looked for.
#include "engine/makemove.h"
#include "records/annotations.h"
#include "records/san.h"
#include "view/norvaneview.h"

void CNorvaneView::PlayChosenMove(const Move& m) {
    if (!(m_mode & ModeViewing) || IsReplaying() || gamePly >= InputMoveLimit ||
        m_researchCount >= InputMoveLimit)
        return;
    const bool gameNext = !(m_mode & ModeResearch) && gamePly < MaxGameMoves &&
                          gameMoves[gamePly].piece != NoPiece &&
                          gameMoves[gamePly].fromTo == m.fromTo &&
                          promotionType(gameMoves[gamePly]) == promotionType(m);
    if (!gameNext && !(m_mode & ModeResearch)) OnResearch();
    if (!gameNext) StoreUserMove(m);
    StepForward();
}

void CNorvaneView::PlayResearchLine(const std::vector<Move>& line) {
    if (!(m_mode & ModeViewing) || IsReplaying() || line.empty()) return;
    if (!(m_mode & ModeResearch)) OnResearch();
    for (const Move& m : line) {
        if (m_researchCount >= InputMoveLimit) break;
        StoreUserMove(m);
        if (!StepForwardQuietly()) break;
    }
    ShowStep();
}

void CNorvaneView::GoToPly(int ply, bool research) {
    if (!(m_mode & ModeViewing) || IsReplaying()) return;
    if (research != ((m_mode & ModeResearch) != 0)) {
        if (!research) OnResearch(); // back to where research began
        else return;                  // a research line exists only in research mode
    }
    const int& counter = research ? m_researchCount : gamePly;
    while (counter > ply && StepBackQuietly()) {
    }
    while (counter < ply && StepForwardQuietly()) {
    }
    ShowStep();
}

void CNorvaneView::GoToSideLine(std::size_t note) {
    if (!(m_mode & ModeViewing) || IsReplaying()) return;
    Move        line[MaxGameMoves];
    const int   count = gameAnnotations.lineTo(note, line, InputMoveLimit);
    if (count == 0) return;
    const int root = gameAnnotations.notes[note].root;
    if (m_mode & ModeResearch) {
        // Back to where research began, without drawing it.
        while (StepBackQuietly()) {
        }
        m_mode &= ~ModeResearch;
        ClearResearch();
    }
    while (gamePly > root && StepBackQuietly()) {
    }
    while (gamePly < root && StepForwardQuietly()) {
    }
    if (gamePly == root) {
        m_mode |= ModeResearch;
        ClearResearch();
        for (int i = 0; i < count; ++i) {
            moveToSan(line[i], m_researchSan[i]);
            m_researchMoves[i] = line[i];
            if (!StepForwardQuietly()) break;
        }
    }
    ShowStep();
}

void CNorvaneView::StepToPosition(std::uint64_t key) {
    if (!(m_mode & ModeViewing) || (m_mode & ModeResearch) || gamePly != 0) return;
    while (board.hashKey != key && StepForwardQuietly()) {
    }
    if (board.hashKey != key)
        while (StepBackQuietly()) {
        }
    ShowStep();
}
