// CNorvaneDoc: the one document. It stands for one open PGN file (or none) and owns the
// file, its game index, the search criteria, the status texts, and the board's background
// image and sprites.
#pragma once

#include <QString>

#include <cstdint>

#include "app/docview.h"
#include "view/dib.h"
#include "view/sprite.h"

class CNorvaneView;

// Bits of UpdateAllViews hints: take the current game afresh, rebuild the game list.
inline constexpr int HintReloadGame = 1, HintRebuildList = 2;

// Bits of m_stateFlags.
inline constexpr std::uint32_t ReplayRunning = 1;

// Runs initEngine the first time it is called in the process; the key generator must not
// run twice (a second run would give other keys).
void startEngine();
// Whether startEngine has run.
extern bool engineStarted;

class CNorvaneDoc : public CDocument {
    Q_OBJECT
public:
    // Starts the engine (once per process), seeds rand with the time, and points the book at
    // book.dat beside the program.
    CNorvaneDoc();
    ~CNorvaneDoc() override;

    // Called once by the board view as it is made: the view hears the sprites' changes,
    // shows the background (image 130), and the twelve piece images are loaded once as
    // sprites to prove them (the view's first rebuild removes them).
    void AttachBoardView(CNorvaneView* view);
    // Destroys every sprite and the old background, keeps dib (owned from now on), and has
    // the board view build its buffer and palette from it and show it.
    void SetBackground(CDIB* dib);
    // A sprite with colour's piece image, in the sprite list at depth 50 and not yet placed;
    // null when the image does not load.
    CSprite* NewSprite(int colour, int piece);
    // The file-letter strip at (40, 275) and the rank-number strip at (8, 14), the flipped
    // ones when flipped. Stops at an image that does not load.
    void AddCoordinateSprites(bool flipped);
    // The first view: the board view.
    CNorvaneView* GetBoardView() const;

    CDIB*         m_pBackground = nullptr; // owned; null until the board view is attached
    CSpriteList   m_sprites;
    std::uint32_t m_pieceImageIds[16]; // image number by colour * 8 + piece type
    QString       m_strMoveInfo;       // the move-information line of the status bar
    std::uint32_t m_stateFlags = 0;    // ReplayRunning
};
