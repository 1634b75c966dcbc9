// The board view's move animation: the pieces of a single step slide from where they stood to
// their squares over MoveAnimationMs, drawn through the dirty rectangles; a captured piece
// stays on its square under the slide and goes at its end. Everything that moves or replaces
// sprites ends a running slide first, so that the sprite map always holds the sprites at
// their squares once a slide is over.
#include <QSettings>

#include "app/norvanedoc.h"
#include "engine/attacks.h"
#include "view/norvaneview.h"

void CNorvaneView::ConnectMoveAnimation() {
    m_animate = QSettings().value(MoveAnimationKey, false).toBool();
    m_slide.setStartValue(0.0);
    m_slide.setEndValue(1.0);
    m_slide.setDuration(MoveAnimationMs);
    connect(&m_slide, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { SlideFrame(value.toDouble()); });
    connect(&m_slide, &QAbstractAnimation::finished, this, [this] { EndSlides(); });
}

void CNorvaneView::SetMoveAnimation(bool on) {
    FinishMoveAnimation();
    m_animate = on;
    QSettings().setValue(MoveAnimationKey, on);
}

std::vector<CNorvaneView::PendingSlide> CNorvaneView::PrepareSlides(const Move& m, bool forward) {
    std::vector<PendingSlide> pending;
    if (!m_animate) return pending;
    const int  f = moveFrom(m), t = moveTo(m);
    const bool castle = m.flags & CastleFlag;
    // The mover, and a castle's rook; the squares are the board's before and after the step.
    const int moverBefore = DisplaySquare(forward ? f : t);
    const int moverAfter  = DisplaySquare(forward ? t : f);
    const int rookHome    = DisplaySquare(f < t ? t + 1 : t - 2);
    const int rookCastled = DisplaySquare(f < t ? f + 1 : f - 1);
    const int rookBefore  = forward ? rookHome : rookCastled;
    const int rookAfter   = forward ? rookCastled : rookHome;
    // A step the sprites would refuse slides nothing.
    if (f == t || !m_squareSprites[moverBefore] || (castle && !m_squareSprites[rookBefore]))
        return pending;
    const auto place = [this](int d) {
        return QPoint(m_squareSprites[d]->GetX(), m_squareSprites[d]->GetY());
    };
    pending.push_back({moverBefore, moverAfter, place(moverBefore)});
    if (castle) pending.push_back({rookBefore, rookAfter, place(rookBefore)});
    if (forward && capturedType(m) != NoPiece) {
        // The captured piece is kept out of the map: the step does not destroy it.
        const bool enPassant = m.flags & EnPassantFlag;
        const int  square    = DisplaySquare(!enPassant ? t : board.sideToMove == White ? t - 8 : t + 8);
        m_vanishing             = m_squareSprites[square];
        m_squareSprites[square] = nullptr;
    }
    return pending;
}

void CNorvaneView::StartSlides(const std::vector<PendingSlide>& pending) {
    for (const PendingSlide& p : pending) {
        CSprite* sprite = m_squareSprites[p.after];
        if (!sprite) continue;
        const QPoint to = m_squareRects[p.after].topLeft();
        if (p.from == to) continue;
        // Nearer the viewer than the pieces it passes over.
        sprite->SetZ(CarriedDepth);
        sprite->SetPosition(p.from.x(), p.from.y());
        m_slides.push_back({sprite, p.from, to});
    }
    if (m_slides.empty() && !m_vanishing) return;
    m_slide.start();
}

void CNorvaneView::SlideFrame(double progress) {
    if (m_slides.empty()) return;
    CNorvaneDoc* doc = GetDocument();
    for (const Slide& s : m_slides) {
        if (!doc->m_sprites.Contains(s.sprite)) continue;
        const QPoint at = s.from + (s.to - s.from) * progress;
        s.sprite->SetPosition(at.x(), at.y());
    }
    RenderAndDrawDirtyList();
}

void CNorvaneView::EndSlides() {
    if (m_slides.empty() && !m_vanishing) return;
    CNorvaneDoc* doc = GetDocument();
    for (const Slide& s : m_slides) {
        if (!doc->m_sprites.Contains(s.sprite)) continue;
        s.sprite->SetPosition(s.to.x(), s.to.y());
        s.sprite->SetZ(RestingDepth);
    }
    m_slides.clear();
    if (m_vanishing && doc->m_sprites.Contains(m_vanishing)) {
        // Its rectangle is drawn again without it.
        AddDirtyRegion(m_vanishing->GetRect());
        doc->m_sprites.Destroy(m_vanishing);
    }
    m_vanishing = nullptr;
    RenderAndDrawDirtyList();
}

void CNorvaneView::FinishMoveAnimation() {
    if (m_slide.state() != QAbstractAnimation::Stopped) m_slide.stop();
    EndSlides();
}
