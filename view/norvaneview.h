// CNorvaneView: the board window. It shows the Board as one sprite per piece over the board
// background, composed in the off-screen buffer.
#pragma once

#include <QRect>

#include <cstdint>

#include "engine/board.h"
#include "view/osbview.h"

class CNorvaneDoc;
class CSprite;

// Bits of m_mode. A change of game state keeps the display bits (0xF00) and replaces the rest.
// clang-format off
inline constexpr std::uint32_t ModePlaying     = 0x1;    // the user's moves go into the game
inline constexpr std::uint32_t ModeViewing     = 0x2;    // a stored or finished game is shown
inline constexpr std::uint32_t ModeReplaying   = 0x10;   // automatic replay is running
inline constexpr std::uint32_t ModeResearch    = 0x20;   // a side line is explored
inline constexpr std::uint32_t ModeFlipped     = 0x100;  // seen from Black's side
inline constexpr std::uint32_t ModeCoordinates = 0x200;  // the coordinate strips are shown
inline constexpr std::uint32_t DisplayModes    = 0xF00;
// clang-format on

class CNorvaneView : public COSBView {
    Q_OBJECT
public:
    // Sets the square rectangles and joins doc as its board view, which loads the images.
    explicit CNorvaneView(CNorvaneDoc* doc, QWidget* parent = nullptr);
    // The sprites stop reporting to the view.
    ~CNorvaneView() override;

    CNorvaneDoc* GetDocument() const;

    // The background within clip (all of it when null), then every sprite from the deepest to
    // the nearest, each clipped.
    void Render(const QRect* clip) override;
    // After every New and Open: the display bits of the mode stay, the rest is cleared, and
    // the picture is made afresh from the Board.
    void OnInitialUpdate() override;
    // HintReloadGame: the current game was replaced, the picture is made afresh from the
    // Board. Other hints leave the board alone.
    void OnUpdate(CView* sender, int hint) override;

    // Board square s on the screen: s, or 63 - s when the board is flipped.
    int DisplaySquare(int s) const { return (m_mode & ModeFlipped) ? 63 - s : s; }

    // Makes the picture from scratch: one sprite per piece of the Board, the coordinate
    // strips when they are on, then the whole board rendered and drawn.
    void RebuildSprites();
    // Moves the sprites for m, which is about to be made (sideToMove is its mover). False,
    // changing nothing, when a sprite it needs is not on its square.
    bool ApplyMoveToSprites(const Move& m);
    // Moves the sprites back for m, which is about to be unmade (sideToMove is the colour
    // that did not make it). False, changing nothing, when a sprite it needs is missing.
    bool RetractMoveOnSprites(const Move& m);

    // Flip board (32783) and coordinates (32836): toggle the display bit and rebuild.
    void OnFlip();
    void OnCoordinates();
    // Adds the view's display commands to the frame's command table.
    void AddCommands(CCommandTable& table);

    CSprite*      m_squareSprites[64]; // by display square; the document's list owns them
    QRect         m_squareRects[64];   // by display square: the 31 x 31 square
    std::uint32_t m_mode = 0;

private:
    // Places sprite (if any) on display square d.
    void Place(CSprite* sprite, int d);
    // Destroys the sprite on display square d, if any, and empties the square.
    void DestroyOn(int d);
};
