#include "view/osbview.h"

#include <QPainter>

COSBView::COSBView(QWidget* parent) : CView(parent) {
    // The whole picture comes from the buffer: Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

COSBView::~COSBView() = default;

bool COSBView::CreateBuffer(const CDIB* background) {
    m_image = QImage();
    m_pBuffer.reset();
    m_pPalette.reset();
    if (!background) return false;
    m_pPalette = std::make_unique<IdentityPalette>(*background);

    auto    buffer = std::make_unique<CDIB>();
    DibInfo info   = background->GetInfo();
    if (!buffer->Create(info.header.width, info.header.height)) return false;
    std::copy(std::begin(info.colours), std::end(info.colours), buffer->GetColours());
    m_pBuffer = std::move(buffer);

    m_image = QImage(m_pBuffer->GetBits(), m_pBuffer->GetWidth(), m_pBuffer->GetHeight(),
                     m_pBuffer->GetStride(), QImage::Format_Indexed8);
    m_image.setColorTable(m_pPalette->ColourTable());
    m_scrollSize = m_pBuffer->GetRect().size();
    updateGeometry();
    return true;
}

void COSBView::AddDirtyRegion(const QRect& rect) {
    if (rect.isEmpty()) return;
    if (!m_dirtyList.empty() && m_dirtyList.front().intersects(rect))
        m_dirtyList.front() = m_dirtyList.front().united(rect);
    else
        m_dirtyList.push_back(rect);
}

void COSBView::RenderAndDrawDirtyList() {
    for (const QRect& rect : m_dirtyList)
        Render(&rect);
    while (!m_dirtyList.empty()) {
        const QRect rect = m_dirtyList.front();
        m_dirtyList.pop_front();
        Draw(&rect);
    }
}

void COSBView::Render(const QRect*) {}

void COSBView::Draw(const QRect* clip) {
    if (!m_pBuffer) return;
    QRect area = m_pBuffer->GetRect().intersected(rect());
    if (clip) area = area.intersected(*clip);
    if (!area.isEmpty()) update(area);
}

void COSBView::OnInitialUpdate() {
    m_scrollSize = m_pBuffer ? m_pBuffer->GetRect().size() : QSize(640, 480);
    updateGeometry();
}

void COSBView::OnUpdate(CView*, int) {
    Render(nullptr);
    Draw(nullptr);
}

void COSBView::OnDraw(QPainter& painter, const QRect& clip) {
    // Beyond the buffer the window shows its plain background.
    if (!m_pBuffer || !m_pBuffer->GetRect().contains(clip))
        painter.fillRect(clip, palette().window());
    if (!m_pBuffer) return;
    const QRect area = clip.intersected(m_pBuffer->GetRect());
    if (area.isEmpty()) return;
    // Image row r is picture row height - 1 - r: mirror the painter, and ask for the rows
    // that land on area.
    const int   height = m_pBuffer->GetHeight();
    const QRect rows(area.left(), height - area.top() - area.height(), area.width(), area.height());
    painter.save();
    painter.setTransform(QTransform(1, 0, 0, -1, 0, height));
    painter.drawImage(rows, m_image, rows);
    painter.restore();
}
