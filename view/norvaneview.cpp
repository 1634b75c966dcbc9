#include "view/norvaneview.h"

#include "app/commands.h"
#include "app/norvanedoc.h"

CNorvaneView::CNorvaneView(CNorvaneDoc* doc, QWidget* parent) : COSBView(parent) {
    // Display square d: 31 x 31 pixels, 33 apart, a1 (unflipped) at the bottom left.
    for (int d = 0; d < 64; ++d) {
        m_squareRects[d]   = QRect(30 + 33 * (d % 8), 237 - 33 * (d / 8), 31, 31);
        m_squareSprites[d] = nullptr;
    }
    doc->AddView(this);
    doc->AttachBoardView(this);
}

CNorvaneView::~CNorvaneView() {
    if (CNorvaneDoc* doc = GetDocument(); doc && doc->m_sprites.m_notify.m_pView == this)
        doc->m_sprites.m_notify.m_pView = nullptr;
}

CNorvaneDoc* CNorvaneView::GetDocument() const {
    return static_cast<CNorvaneDoc*>(CView::GetDocument());
}

void CNorvaneView::Render(const QRect* clip) {
    CNorvaneDoc* doc = GetDocument();
    if (!doc || !doc->m_pBackground || !GetBuffer()) return;
    QRect area = doc->m_pBackground->GetRect();
    if (clip) area = area.intersected(*clip);
    if (!area.isEmpty())
        doc->m_pBackground->CopyBits(GetBuffer(), area.left(), area.top(), area.width(),
                                     area.height(), area.left(), area.top(), -1);
    const auto& sprites = doc->m_sprites.Sprites();
    for (auto s = sprites.rbegin(); s != sprites.rend(); ++s)
        (*s)->Render(GetBuffer(), clip);
}

void CNorvaneView::OnInitialUpdate() {
    COSBView::OnInitialUpdate();
    m_mode &= DisplayModes;
    RebuildSprites();
}

void CNorvaneView::OnUpdate(CView*, int hint) {
    if (hint & HintReloadGame) RebuildSprites();
}

void CNorvaneView::OnFlip() {
    m_mode ^= ModeFlipped;
    RebuildSprites();
}

void CNorvaneView::OnCoordinates() {
    m_mode ^= ModeCoordinates;
    RebuildSprites();
}

void CNorvaneView::AddCommands(CCommandTable& table) {
    table.Add(
        CmdFlip, [this] { OnFlip(); }, {}, [this] { return (m_mode & ModeFlipped) != 0; });
    table.Add(
        CmdCoordinates, [this] { OnCoordinates(); }, {},
        [this] { return (m_mode & ModeCoordinates) != 0; });
}
