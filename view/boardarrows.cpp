#include "view/boardarrows.h"

#include <QColor>
#include <QPointF>

#include <algorithm>
#include <cmath>

#include "engine/attacks.h"
#include "view/analysissnapshot.h"
#include "view/dib.h"
#include "view/norvaneview.h"
#include "view/palette.h"

namespace {

// The arrows' colour and its weights out of 256 (the same as scripts/make-images, which puts
// these tints of the squares' colours into the shared table).
constexpr int ArrowRed = 30, ArrowGreen = 100, ArrowBlue = 210;
constexpr int BestWeight = 170, OtherWeight = 100;

int blend(int c, int t, int weight) { return (c * (256 - weight) + t * weight + 128) >> 8; }

int squareFromName(const std::string& text, std::size_t at) {
    const char file = text[at], rank = text[at + 1];
    if (file < 'a' || file > 'h' || rank < '1' || rank > '8') return NoSquare;
    return (file - 'a') + 8 * (rank - '1');
}

// An arrow's outline in buffer pixels: a shaft from the centre of its first square to the
// head, which ends in the centre of its target.
struct ArrowShape {
    QPointF start, direction, normal; // direction and normal of length 1
    double  length = 0, shaftHalf = 0, headLength = 0, headHalf = 0;
    QRect   bounds;

    ArrowShape(const BoardArrow& arrow, const BoardGeometry& g, bool flipped) {
        const QRect  a    = g.SquareRect(flipped ? 63 - arrow.from : arrow.from);
        const QRect  b    = g.SquareRect(flipped ? 63 - arrow.to : arrow.to);
        const double half = a.width() / 2.0;
        start             = QPointF(a.left() + half, a.top() + half);
        const QPointF end(b.left() + half, b.top() + half);
        const QPointF delta = end - start;
        length              = std::hypot(delta.x(), delta.y());
        direction           = length > 0 ? delta / length : QPointF(1, 0);
        normal              = QPointF(-direction.y(), direction.x());
        const double pitch  = g.Pitch();
        shaftHalf           = pitch * (arrow.best ? 0.11 : 0.075);
        headHalf            = pitch * (arrow.best ? 0.30 : 0.24);
        headLength          = std::min(length, pitch * (arrow.best ? 0.45 : 0.40));
        const double reach  = std::max(headHalf, shaftHalf) + 1;
        bounds =
            QRectF(
                QPointF(std::min(start.x(), end.x()) - reach, std::min(start.y(), end.y()) - reach),
                QPointF(std::max(start.x(), end.x()) + reach, std::max(start.y(), end.y()) + reach))
                .toAlignedRect();
    }

    // Whether the centre of pixel (x, y) lies inside.
    bool Contains(int x, int y) const {
        const QPointF p(x + 0.5 - start.x(), y + 0.5 - start.y());
        const double  t = p.x() * direction.x() + p.y() * direction.y();
        const double  u = std::abs(p.x() * normal.x() + p.y() * normal.y());
        if (t < 0 || t > length) return false;
        const double headStart = length - headLength;
        if (t <= headStart) return u <= shaftHalf;
        return u <= headHalf * (length - t) / headLength;
    }
};

} // namespace

std::vector<BoardArrow> analysisArrows(const AnalysisSnapshot& snapshot) {
    std::vector<BoardArrow> arrows;
    for (const AnalysisLine& line : snapshot.lines) {
        if (line.line.coords.empty() || line.line.coords.front().size() < 4) continue;
        const std::string& move = line.line.coords.front();
        BoardArrow         arrow{squareFromName(move, 0), squareFromName(move, 2), arrows.empty()};
        if (arrow.from == NoSquare || arrow.to == NoSquare || arrow.from == arrow.to) continue;
        arrows.push_back(arrow);
    }
    return arrows;
}

ArrowPainter::ArrowPainter(const IdentityPalette& palette) {
    for (int kind = 0; kind < 2; ++kind) {
        const int weight = kind == 0 ? BestWeight : OtherWeight;
        for (int i = 0; i < 256; ++i) {
            const QRgb c     = palette.Entry(i);
            m_tints[kind][i] = static_cast<std::uint8_t>(palette.Nearest(
                blend(qRed(c), ArrowRed, weight), blend(qGreen(c), ArrowGreen, weight),
                blend(qBlue(c), ArrowBlue, weight)));
        }
    }
}

QRect ArrowPainter::CellRect(int d, const BoardGeometry& g) {
    const int grid = g.Grid();
    return g.SquareRect(d).adjusted(-grid, -grid, grid, grid);
}

Bitboard ArrowPainter::CoveredCells(const BoardArrow& arrow, const BoardGeometry& g, bool flipped) {
    if (arrow.from < 0 || arrow.from > 63 || arrow.to < 0 || arrow.to > 63) return 0;
    const ArrowShape shape(arrow, g, flipped);
    const QRect      a1    = g.SquareRect(0);
    const int        pitch = g.Pitch();
    Bitboard         cells = 0;
    for (int y = shape.bounds.top(); y <= shape.bounds.bottom(); ++y)
        for (int x = shape.bounds.left(); x <= shape.bounds.right(); ++x) {
            if (!shape.Contains(x, y)) continue;
            // The square whose rectangle starts at or before the pixel: a pixel of the grid
            // belongs to the square left of it or below it, whose cell reaches over the grid.
            const int column =
                std::clamp(static_cast<int>(std::floor(double(x - a1.left()) / pitch)), 0, 7);
            const int row =
                std::clamp(static_cast<int>(std::floor(double(a1.bottom() - y) / pitch)), 0, 7);
            cells |= Bitboard{1} << (column + 8 * row);
        }
    return cells;
}

void ArrowPainter::Paint(CDIB& buffer, const QRect& area, const BoardGeometry& g, bool flipped,
                         const std::vector<BoardArrow>& arrows) const {
    std::vector<ArrowShape> shapes;
    std::vector<int>        kinds;
    QRect                   reach;
    for (const BoardArrow& arrow : arrows) {
        if (arrow.from < 0 || arrow.from > 63 || arrow.to < 0 || arrow.to > 63) continue;
        shapes.emplace_back(arrow, g, flipped);
        kinds.push_back(arrow.best ? 0 : 1);
        reach |= shapes.back().bounds;
    }
    const QRect r = area.intersected(buffer.GetRect()).intersected(reach);
    if (shapes.empty() || r.isEmpty()) return;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        std::uint8_t* row = buffer.GetPixelAddress(r.left(), y);
        for (int x = r.left(); x <= r.right(); ++x, ++row) {
            int kind = 2;
            for (std::size_t i = 0; i < shapes.size() && kind > 0; ++i)
                if (kinds[i] < kind && shapes[i].bounds.contains(x, y) && shapes[i].Contains(x, y))
                    kind = kinds[i];
            if (kind < 2) *row = m_tints[kind][*row];
        }
    }
}

// --- The board view's arrows --------------------------------------------------------------

void CNorvaneView::ShowAnalysisArrows(const AnalysisSnapshot* snapshot) {
    std::vector<BoardArrow> next = snapshot ? analysisArrows(*snapshot) : std::vector<BoardArrow>{};
    if (next == m_arrows) return;
    const bool flipped = m_mode & ModeFlipped;
    Bitboard   cells   = 0;
    for (const BoardArrow& arrow : m_arrows)
        cells |= ArrowPainter::CoveredCells(arrow, m_geometry, flipped);
    for (const BoardArrow& arrow : next)
        cells |= ArrowPainter::CoveredCells(arrow, m_geometry, flipped);
    m_arrows = std::move(next);
    for (; cells; cells &= cells - 1)
        AddDirtyRegion(ArrowPainter::CellRect(firstOne(cells), m_geometry));
    RenderAndDrawDirtyList();
}
