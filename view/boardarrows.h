// The analysis's arrows on the board: one per line, from its first move's square to its
// target, the best line's thicker and stronger. They are painted into the off-screen buffer
// over the background and the highlights and under the pieces, tinting the pixels they cover
// through a lookup table over the shared palette (an indexed buffer has no alpha), so they
// follow every size and the flipped board, and a sprite's dirty rectangle repaints them.
#pragma once

#include <QRect>

#include <array>
#include <cstdint>
#include <vector>

#include "engine/board.h"
#include "view/boardscale.h"

class CDIB;
class IdentityPalette;
struct AnalysisSnapshot;

// One arrow, in board squares.
struct BoardArrow {
    int  from = NoSquare, to = NoSquare;
    bool best = false; // the best line's

    bool operator==(const BoardArrow&) const = default;
};

// The first move of each line of snapshot, best first; lines without a readable first move
// give none.
std::vector<BoardArrow> analysisArrows(const AnalysisSnapshot& snapshot);

class ArrowPainter {
public:
    explicit ArrowPainter(const IdentityPalette& palette);

    // The display squares (bit d for display square d) whose cells, each square with the grid
    // around it, hold a pixel of the arrow: what must be drawn again when it comes or goes.
    static Bitboard CoveredCells(const BoardArrow& arrow, const BoardGeometry& g, bool flipped);
    // The cell of display square d: its rectangle and the grid around it.
    static QRect CellRect(int d, const BoardGeometry& g);

    // Paints arrows within area (buffer pixels) onto a board of geometry g. A pixel under
    // several arrows takes the strongest tint once.
    void Paint(CDIB& buffer, const QRect& area, const BoardGeometry& g, bool flipped,
               const std::vector<BoardArrow>& arrows) const;

private:
    std::array<std::array<std::uint8_t, 256>, 2> m_tints; // [0] the best line's, [1] the others'
};
