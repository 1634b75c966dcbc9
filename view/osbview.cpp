#include "view/osbview.h"

#include <QPainter>

#include <cmath>

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

QPoint COSBView::ToBuffer(QPointF window) const {
    return QPoint(static_cast<int>(std::floor(window.x() * m_dpr)),
                  static_cast<int>(std::floor(window.y() * m_dpr)));
}

QRect COSBView::ToWindow(const QRect& bufferRect) const {
    if (m_dpr == 1.0) return bufferRect;
    const QRectF r(bufferRect.left() / m_dpr, bufferRect.top() / m_dpr, bufferRect.width() / m_dpr,
                   bufferRect.height() / m_dpr);
    return r.toAlignedRect();
}

QSize COSBView::sizeHint() const { return ToWindow(QRect(QPoint(0, 0), m_scrollSize)).size(); }

void COSBView::Draw(const QRect* clip) {
    if (!m_pBuffer) return;
    QRect area = m_pBuffer->GetRect();
    if (clip) area = area.intersected(*clip);
    area = ToWindow(area).intersected(rect());
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
    if (!m_pBuffer || !ToWindow(m_pBuffer->GetRect()).contains(clip))
        painter.fillRect(clip, palette().window());
    if (!m_pBuffer) return;
    // The buffer pixels under clip, whole pixels.
    const QRect area =
        QRectF(clip.left() * m_dpr, clip.top() * m_dpr, clip.width() * m_dpr, clip.height() * m_dpr)
            .toAlignedRect()
            .intersected(m_pBuffer->GetRect());
    if (area.isEmpty()) return;
    // Image row r is picture row height - 1 - r: mirror the painter, and ask for the rows
    // that land on area. Each buffer pixel covers exactly one device pixel.
    const int   height = m_pBuffer->GetHeight();
    const QRect rows(area.left(), height - area.top() - area.height(), area.width(), area.height());
    const QRectF target(rows.left() / m_dpr, rows.top() / m_dpr, rows.width() / m_dpr,
                        rows.height() / m_dpr);
    painter.save();
    painter.setTransform(QTransform(1, 0, 0, -1, 0, height / m_dpr));
    painter.drawImage(target, m_image, rows);
    painter.restore();
}
