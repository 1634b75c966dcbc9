// How the main window's width is shared between the board pane and the list pane.
#include <QResizeEvent>
#include <QScrollArea>
#include <QSplitter>

#include <algorithm>

#include "app/mainframe.h"
#include "view/evalbar.h"
#include "view/boardscale.h"

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // The splitter and the board pane take their new sizes in the same round of events: the
    // share is worked out after them.
    if (m_bSharePending) return;
    m_bSharePending = true;
    QMetaObject::invokeMethod(this, &CMainFrame::ShareSplitterWidth, Qt::QueuedConnection);
}

void CMainFrame::ShareSplitterWidth() {
    m_bSharePending      = false;
    const QList<int> now = m_wndSplitter->sizes();
    if (!m_bShowGameList || now.size() != 2 || now[1] == 0) return;
    const int total = now[0] + now[1];
    if (total <= ListWidth) return; // a window too narrow for both: the splitter decides
    // The board is square and grows with the smaller side of its pane.
    const int height       = m_pBoardPane->height();
    const int boardSide    = logicalSide(fittingPitch(QSize(height, height)));
    const int standardPane = WithListSize.width() - m_wndSplitter->handleWidth() - ListWidth;
    // A shown evaluation bar and the clocks stand beside the board in the same pane.
    const auto beside = [](const QWidget* widget) {
        return widget && !widget->isHidden() ? widget->sizeHint().width() + EvalBar::Gap : 0;
    };
    const int bar  = beside(m_pEvalBar) + beside(m_pClockPane);
    const int list = std::max(ListWidth, total - std::max(boardSide + bar, standardPane));
    if (list != now[1]) m_wndSplitter->setSizes({total - list, list});
}
