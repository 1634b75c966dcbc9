// The board's highlights: the square a carried piece came from, the squares it may go to,
// the two squares of the last move, and the king of the side in check. They are painted into
// the off-screen buffer over the background and under the pieces, so they follow every size
// and the flipped board, and a sprite's dirty rectangle repaints them with it.
#pragma once

#include <QRect>

#include <array>
#include <cstdint>

#include "engine/board.h"
#include "view/boardscale.h"

class CDIB;
class IdentityPalette;

// What is marked, in board squares; NoSquare marks nothing.
struct BoardHighlights {
    bool     shown      = true; // the menu's switch
    int      pickSquare = NoSquare;
    Bitboard targets    = 0; // where the carried piece may be dropped
    Bitboard captures   = 0; // those of the targets that hold a piece
    int      lastFrom = NoSquare, lastTo = NoSquare;
    int      checkSquare = NoSquare;

    // Every square that looks different because of this state (nothing while not shown).
    Bitboard Marked() const;
    // No piece is carried any more: its square and targets are no longer marked.
    void ForgetCarry() {
        pickSquare = NoSquare;
        targets = captures = 0;
    }
};

// The legal targets of the piece of the side to move on square from: every square a drop
// would play a legal move to (the kings' squares never are).
Bitboard legalTargets(int from);
// The square of the side to move's king when it is in check, else NoSquare.
int checkedKingSquare();

// Paints highlights into an 8-bit buffer that holds the background. Tinted squares keep their
// grain: each pixel's colour is blended towards the mark's colour and the blend looked up in
// the shared table, which holds the tints of the squares' colours.
class HighlightPainter {
public:
    explicit HighlightPainter(const IdentityPalette& palette);

    // Paints the marks of h within area (buffer pixels) onto a board of geometry g.
    void Paint(CDIB& buffer, const QRect& area, const BoardGeometry& g, bool flipped,
               const BoardHighlights& h) const;

private:
    enum Tint { LastMoveTint, PickTint, CheckTint, TintCount };
    std::array<std::array<std::uint8_t, 256>, TintCount> m_tints;
    std::uint8_t                                         m_mark;
};
