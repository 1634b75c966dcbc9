#include "view/highlights.h"

#include <QColor>

#include <algorithm>

#include "engine/attacks.h"
#include "engine/makemove.h"
#include "engine/movegen.h"
#include "view/dib.h"
#include "view/palette.h"

namespace {

// A mark's colour and its weight out of 256 (the same as scripts/make-images, which puts the
// squares' tints into the shared table).
struct TintColour {
    int red, green, blue, weight;
};
constexpr TintColour tintColours[3] = {{250, 214, 60, 110}, {96, 186, 84, 120}, {232, 36, 24, 150}};
constexpr QRgb       markColour     = qRgb(74, 112, 64);

int blend(int c, int t, int weight) { return (c * (256 - weight) + t * weight + 128) >> 8; }

Bitboard bit(int square) { return square == NoSquare ? 0 : squareBit[square]; }

} // namespace

Bitboard BoardHighlights::Marked() const {
    if (!shown) return 0;
    return bit(pickSquare) | targets | bit(lastFrom) | bit(lastTo) | bit(checkSquare);
}

Bitboard legalTargets(int from) {
    Bitboard targets = 0;
    if (from < 0 || from > 63 || !(board.colourBits[board.sideToMove] & squareBit[from])) return 0;
    for (int to = 0; to < 64; ++to) {
        if (to == from || to == board.kingSquare[White] || to == board.kingSquare[Black]) continue;
        Move m{};
        if (moveFromCoords(&m, board.sideToMove, from * 64 + to) && !leavesKingAttacked(m))
            targets |= squareBit[to];
    }
    return targets;
}

int checkedKingSquare() {
    const int king = board.kingSquare[board.sideToMove];
    return king != NoSquare && isAttacked(king, board.sideToMove ^ 1) ? king : NoSquare;
}

HighlightPainter::HighlightPainter(const IdentityPalette& palette)
    : m_mark(static_cast<std::uint8_t>(
          palette.Nearest(qRed(markColour), qGreen(markColour), qBlue(markColour)))) {
    for (int kind = 0; kind < TintCount; ++kind)
        for (int i = 0; i < 256; ++i) {
            const QRgb        c = palette.Entry(i);
            const TintColour& t = tintColours[kind];
            m_tints[kind][i]    = static_cast<std::uint8_t>(palette.Nearest(
                   blend(qRed(c), t.red, t.weight), blend(qGreen(c), t.green, t.weight),
                   blend(qBlue(c), t.blue, t.weight)));
        }
}

void HighlightPainter::Paint(CDIB& buffer, const QRect& area, const BoardGeometry& g, bool flipped,
                             const BoardHighlights& h) const {
    if (!h.shown) return;
    const QRect bounds = area.intersected(buffer.GetRect());
    for (Bitboard marked = h.Marked(); marked; marked &= marked - 1) {
        const int   s      = firstOne(marked);
        const QRect square = g.SquareRect(flipped ? 63 - s : s);
        const QRect r      = square.intersected(bounds);
        if (r.isEmpty()) continue;
        // One tint per square: the carried piece's origin before a king in check before the
        // last move.
        const int    tint    = s == h.pickSquare                    ? PickTint
                               : s == h.checkSquare                 ? CheckTint
                               : (s == h.lastFrom || s == h.lastTo) ? LastMoveTint
                                                                    : -1;
        const bool   target  = h.targets & squareBit[s];
        const bool   capture = h.captures & squareBit[s];
        const double cx      = square.left() + square.width() / 2.0,
                     cy      = square.top() + square.height() / 2.0;
        // A dot in the middle of an empty target; on an occupied one, corner wedges that the
        // piece standing there leaves visible.
        const double dot    = square.width() * 0.16;
        const int    corner = std::max(3, square.width() / 4);
        for (int y = r.top(); y <= r.bottom(); ++y) {
            std::uint8_t* row = buffer.GetPixelAddress(r.left(), y);
            for (int x = r.left(); x <= r.right(); ++x, ++row) {
                if (tint >= 0) *row = m_tints[tint][*row];
                if (!target) continue;
                const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
                const int    ix = std::min(x - square.left(), square.right() - x);
                const int    iy = std::min(y - square.top(), square.bottom() - y);
                if (capture ? ix + iy < corner : dx * dx + dy * dy <= dot * dot) *row = m_mark;
            }
        }
    }
}
