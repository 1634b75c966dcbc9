// Moves and positions chosen beside the board: the opening explorer's moves, the move
// list's clicks, and a game opened at the position a search looked for.
#include <algorithm>

#include "app/currentgame.h"
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
    // During a game against the engine its earlier positions are shown, never a research line.
    if (IsReplaying() || (PlaysEngine() ? research : !(m_mode & ModeViewing))) return;
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

int CNorvaneView::SideLineMoves(const NodePath& path, Move* out, int max, int& shown) {
    shown                   = -1;
    const GameTree&   tree  = currentGameTree();
    int               index = 0;
    const MoveLine*   line  = lineAt(tree, path, index);
    std::vector<Move> moves = lineTo(tree, path);
    if (!line || path.size() < 2 || moves.empty()) return 0;
    for (std::size_t i = static_cast<std::size_t>(index) + 1; i < line->moves.size(); ++i)
        moves.push_back(line->moves[i].move);
    const std::size_t root = static_cast<std::size_t>(path.front());
    int               n    = 0;
    for (std::size_t i = root; i < moves.size() && n < max; ++i)
        out[n++] = moves[i];
    if (n < max) out[n] = Move{};
    shown = std::min(static_cast<int>(lineTo(tree, path).size() - root), n) - 1;
    return n;
}

void CNorvaneView::GoToPath(const NodePath& path) {
    // During a game against the engine only the game's own moves are gone to.
    const bool playing = PlaysEngine();
    if (!playing && (!(m_mode & ModeViewing) || IsReplaying() || !currentTreeMatchesGlobals())) return;
    if (path.size() < 2) {
        if (path.empty() || nodeAt(currentGameTree(), path)) GoToPly(path.empty() ? 0 : path[0] + 1, false);
        return;
    }
    if (playing) return;
    Move      line[MaxGameMoves];
    int       shown = -1;
    const int count = SideLineMoves(path, line, InputMoveLimit, shown);
    if (count == 0 || shown < 0) return;
    const int root = path.front();
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
        // The whole line is held, and its moves' notation made, before stepping into it.
        for (int i = 0; i < count; ++i) {
            moveToSan(line[i], m_researchSan[i]);
            makeMove(line[i]);
            m_researchMoves[i] = line[i];
        }
        for (int i = count - 1; i >= 0; --i)
            unmakeMove(line[i]);
        for (int i = 0; i <= shown; ++i)
            if (!StepForwardQuietly()) break;
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
