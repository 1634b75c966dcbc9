// Drag and drop on the board: a piece picked up by a press and released over another square
// is dropped there by the same rules as the second click of click-and-click. Released over
// its own square (a click), it stays in hand for that second click.
#include "view/norvaneview.h"

void CNorvaneView::OnLButtonUp(QPoint p) {
    if (!m_pHeld) return;
    const int d = DisplaySquareAt(p);
    if (d < 0 || DisplaySquare(d) == m_pickSquare) return;
    DropAt(p);
}
