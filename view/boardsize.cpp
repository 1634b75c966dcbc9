// The board view's size: the board follows the view (and so the pane, the splitter and the
// window) in whole steps of pitch, and is drawn at the screen's device resolution.
#include <QResizeEvent>
#include <QShowEvent>
#include <QWindow>

#include "app/norvanedoc.h"
#include "view/norvaneview.h"

void CNorvaneView::SetPitch(int pitch) {
    CNorvaneDoc* doc = GetDocument();
    if (!doc || (pitch == m_geometry.Pitch() && GetBuffer())) return;
    PutBack();
    FinishMoveAnimation();
    // What stands where, by image number: the sprites are drawn again at the new size
    // without reading the Board, which may be busy elsewhere.
    int images[64];
    for (int d = 0; d < 64; ++d)
        images[d] = m_squareSprites[d] ? m_squareSprites[d]->GetImageId() : 0;
    if (!doc->SetBoardPitch(pitch)) return; // the old size stays
    m_geometry = BoardGeometry(pitch);
    for (int d = 0; d < 64; ++d) {
        m_squareRects[d]   = m_geometry.SquareRect(d);
        m_squareSprites[d] = images[d] ? doc->NewImageSprite(images[d]) : nullptr;
        Place(m_squareSprites[d], d);
    }
    if (m_mode & ModeCoordinates) doc->AddCoordinateSprites(m_mode & ModeFlipped);
    EmptyDirtyList();
    Render(nullptr);
    Draw(nullptr);
}

void CNorvaneView::FitToWindow() {
    const double dpr = devicePixelRatioF();
    SetDevicePixelRatio(dpr);
    SetPitch(devicePitch(fittingPitch(size()), dpr));
    updateGeometry();
}

void CNorvaneView::resizeEvent(QResizeEvent* event) {
    COSBView::resizeEvent(event);
    FitToWindow();
}

void CNorvaneView::showEvent(QShowEvent* event) {
    COSBView::showEvent(event);
    // A window moved to a screen of another device pixel ratio draws the board anew.
    if (QWindow* shown = window()->windowHandle())
        connect(shown, &QWindow::screenChanged, this, &CNorvaneView::FitToWindow,
                Qt::UniqueConnection);
    FitToWindow();
}

QSize CNorvaneView::minimumSizeHint() const {
    // Never smaller than the standard board: a smaller pane scrolls instead of cutting it.
    const int side = logicalSide(StandardPitch);
    return {side, side};
}
