// The board view's sprite bookkeeping: one sprite per piece on its display square, kept in
// step with the Board move by move, so that stepping through a game never rebuilds the
// whole picture.
#include "app/norvanedoc.h"
#include "engine/attacks.h"
#include "view/norvaneview.h"

void CNorvaneView::Place(CSprite* sprite, int d) {
    if (sprite) sprite->SetPosition(m_squareRects[d].left(), m_squareRects[d].top());
}

void CNorvaneView::DestroyOn(int d) {
    if (m_squareSprites[d]) GetDocument()->m_sprites.Destroy(m_squareSprites[d]);
    m_squareSprites[d] = nullptr;
}

void CNorvaneView::RebuildSprites() {
    // The sprites a slide moves and the carried one are about to go.
    FinishMoveAnimation();
    m_pHeld = nullptr;
    CNorvaneDoc* doc = GetDocument();
    doc->m_sprites.RemoveAll();
    std::fill(std::begin(m_squareSprites), std::end(m_squareSprites), nullptr);
    for (int colour = White; colour <= Black; ++colour)
        for (int piece = Pawn; piece <= King; ++piece)
            for (Bitboard set = board.pieceBits[colour][piece]; set; set &= set - 1) {
                const int d        = DisplaySquare(firstOne(set));
                m_squareSprites[d] = doc->NewSprite(colour, piece);
                Place(m_squareSprites[d], d);
            }
    if (m_mode & ModeCoordinates) doc->AddCoordinateSprites(m_mode & ModeFlipped);
    // The whole board is drawn: the placements' dirty rectangles are covered.
    EmptyDirtyList();
    MarkShownPosition();
    Render(nullptr);
    Draw(nullptr);
}

bool CNorvaneView::ApplyMoveToSprites(const Move& m) {
    const int f = moveFrom(m), t = moveTo(m);
    const int df = DisplaySquare(f), dt = DisplaySquare(t);
    if (f == t || !m_squareSprites[df]) return false;
    // A castling rook must be there before anything moves: a false answer changes nothing.
    const bool castle   = m.flags & CastleFlag;
    const int  rookFrom = DisplaySquare(f < t ? t + 1 : t - 2);
    const int  rookTo   = DisplaySquare(f < t ? f + 1 : f - 1);
    if (castle && !m_squareSprites[rookFrom]) return false;

    CSprite* mover      = m_squareSprites[df];
    m_squareSprites[df] = nullptr;
    Place(mover, dt);
    DestroyOn(dt);
    m_squareSprites[dt] = mover;

    if (castle) {
        Place(m_squareSprites[rookFrom], rookTo);
        m_squareSprites[rookTo]   = m_squareSprites[rookFrom];
        m_squareSprites[rookFrom] = nullptr;
    }
    if (const int promoted = promotionType(m); promoted >= Knight && promoted <= Queen) {
        DestroyOn(dt);
        m_squareSprites[dt] = GetDocument()->NewSprite(board.sideToMove, promoted);
        Place(m_squareSprites[dt], dt);
    }
    if (m.flags & EnPassantFlag)
        DestroyOn(DisplaySquare(board.sideToMove == White ? t - 8 : t + 8));
    return true;
}

bool CNorvaneView::RetractMoveOnSprites(const Move& m) {
    const int f = moveFrom(m), t = moveTo(m);
    const int df = DisplaySquare(f), dt = DisplaySquare(t);
    if (f == t || !m_squareSprites[dt]) return false;
    const bool castle   = m.flags & CastleFlag;
    const int  rookNow  = DisplaySquare(f < t ? f + 1 : f - 1);
    const int  rookHome = DisplaySquare(f < t ? t + 1 : t - 2);
    if (castle && !m_squareSprites[rookNow]) return false;

    CSprite* mover      = m_squareSprites[dt];
    m_squareSprites[dt] = nullptr;
    // Whatever stands on the origin square now is stale; a legal move leaves it empty.
    DestroyOn(df);
    Place(mover, df);
    m_squareSprites[df] = mover;

    if (castle) {
        Place(m_squareSprites[rookNow], rookHome);
        m_squareSprites[rookHome] = m_squareSprites[rookNow];
        m_squareSprites[rookNow]  = nullptr;
    }
    const int moverColour = board.sideToMove ^ 1;
    if (promotionType(m) >= Knight && promotionType(m) <= Queen) {
        DestroyOn(df);
        m_squareSprites[df] = GetDocument()->NewSprite(moverColour, Pawn);
        Place(m_squareSprites[df], df);
    }
    if (const int captured = capturedType(m); captured != NoPiece) {
        const bool enPassant = m.flags & EnPassantFlag;
        const int  square    = enPassant ? (board.sideToMove == White ? t + 8 : t - 8) : t;
        const int  d         = DisplaySquare(square);
        DestroyOn(d);
        m_squareSprites[d] =
            GetDocument()->NewSprite(board.sideToMove, enPassant ? Pawn : captured);
        Place(m_squareSprites[d], d);
    }
    return true;
}
