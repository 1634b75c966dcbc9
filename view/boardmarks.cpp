// The board view's highlights: which squares are marked, kept in step with the play, and the
// menu's switch.
#include <QSettings>

#include "engine/attacks.h"
#include "view/norvaneview.h"

void CNorvaneView::UpdateHighlights(const BoardHighlights& next) {
    // The squares marked before or after may look different now.
    const bool flipped = m_mode & ModeFlipped;
    for (Bitboard changed = m_highlights.Marked() | next.Marked(); changed; changed &= changed - 1)
        AddDirtyRegion(m_geometry.SquareRect(flipped ? 63 - firstOne(changed) : firstOne(changed)));
    m_highlights = next;
}

void CNorvaneView::SetLastMoveHighlight(int from, int to) {
    BoardHighlights marks = m_highlights;
    marks.lastFrom        = from;
    marks.lastTo          = to;
    UpdateHighlights(marks);
    RenderAndDrawDirtyList();
}

void CNorvaneView::ShowHighlights(bool shown) {
    QSettings().setValue(HighlightsKey, shown);
    BoardHighlights marks = m_highlights;
    marks.shown           = shown;
    UpdateHighlights(marks);
    RenderAndDrawDirtyList();
}

void CNorvaneView::MarkShownPosition() {
    const bool  research     = (m_mode & ModeResearch) && m_researchCount > 0;
    const Move* last         = research      ? &m_researchMoves[m_researchCount - 1]
                               : gamePly > 0 ? &gameMoves[gamePly - 1]
                                             : nullptr;
    m_highlights.lastFrom    = last ? moveFrom(*last) : NoSquare;
    m_highlights.lastTo      = last ? moveTo(*last) : NoSquare;
    // While the engine thinks the position is the one the user's move left, whose check was
    // marked when that move was drawn: the mark stays as it is.
    if (!IsThinking()) m_highlights.checkSquare = checkedKingSquare();
    if (!m_pHeld) m_highlights.ForgetCarry();
}
