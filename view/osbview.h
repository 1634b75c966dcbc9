// COSBView: a view that composes its picture in an 8-bit off-screen buffer and copies only the
// parts that changed (the dirty rectangles) to the window. The buffer is in device pixels: on
// a screen with a device pixel ratio of 2 one buffer pixel is one screen pixel, never a
// scaled-up block.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

#include <deque>
#include <memory>

#include "app/docview.h"
#include "view/dib.h"
#include "view/palette.h"

class COSBView : public CView {
    Q_OBJECT
public:
    explicit COSBView(QWidget* parent = nullptr);
    ~COSBView() override;

    // Makes the palette from background's colour table and a buffer of background's size and
    // colours (all pixels 0). False, leaving no buffer, when either cannot be made.
    bool CreateBuffer(const CDIB* background);

    // Marks rect dirty: merged into the first dirty rectangle when they meet, else appended.
    void AddDirtyRegion(const QRect& rect);
    // Composes every dirty rectangle (Render), then copies them to the window in order and
    // forgets them.
    void                     RenderAndDrawDirtyList();
    void                     EmptyDirtyList() { m_dirtyList.clear(); }
    const std::deque<QRect>& DirtyList() const { return m_dirtyList; }

    // Composes the scene into the buffer within clip (everything when clip is null). The base
    // draws nothing; the board view supplies the scene.
    virtual void Render(const QRect* clip);
    // Copies the buffer within clip (the whole window when null) to the window: the part
    // inside the buffer is scheduled for painting. Nothing without a buffer.
    virtual void Draw(const QRect* clip);

    // The device pixels per window pixel that the buffer is drawn with.
    void   SetDevicePixelRatio(double dpr) { m_dpr = dpr > 0 ? dpr : 1.0; }
    double DevicePixelRatio() const { return m_dpr; }
    // A window point in buffer pixels, and the window rectangle that covers a buffer one.
    QPoint ToBuffer(QPointF window) const;
    QRect  ToWindow(const QRect& bufferRect) const;

    CDIB*                  GetBuffer() const { return m_pBuffer.get(); }
    const IdentityPalette* GetPalette() const { return m_pPalette.get(); }

    void OnInitialUpdate() override;
    void OnUpdate(CView* sender, int hint) override;
    void OnDraw(QPainter& painter, const QRect& clip) override;
    // The buffer's size in window pixels.
    QSize sizeHint() const override;

private:
    std::unique_ptr<CDIB>            m_pBuffer;
    std::unique_ptr<IdentityPalette> m_pPalette;
    // The buffer's bytes seen as an indexed image. Its rows are the buffer's rows, bottom-up,
    // so it is drawn mirrored vertically.
    QImage            m_image;
    std::deque<QRect> m_dirtyList;
    QSize             m_scrollSize{640, 480}; // buffer pixels
    double            m_dpr = 1.0;
};
