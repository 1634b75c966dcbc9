// How the status bar's panes share a window wider than they are.
#include <QLabel>
#include <QResizeEvent>

#include <algorithm>

#include "app/mainframe.h"

void CStatusPanes::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOutPanes();
}

void CStatusPanes::LayOutPanes() {
    // The room beyond the placeholders' widths goes to the move line (a long opening name) and
    // the path, half each; the size and the count keep theirs.
    const int extra  = std::max(0, width() - sizeHint().width());
    const int grow[] = {extra / 2, extra - extra / 2, 0, 0};
    int       x      = 0;
    for (int i = 0; i < 4; ++i) {
        const int paneWidth = m_widths[i] + grow[i];
        m_panes[i]->setGeometry(x, 0, paneWidth, m_panes[i]->sizeHint().height());
        x += paneWidth + PaneGap;
    }
}
