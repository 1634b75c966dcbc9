// Sprites: images with a position, a depth and one transparent colour index, kept in a list
// ordered by depth, which reports every change as dirty rectangles to the view that shows it.
#pragma once

#include <QRect>

#include <cstddef>
#include <cstdint>
#include <list>

#include "view/dib.h"

class COSBView;
class CSprite;
class CSpriteList;

// The link from the sprites to the view: a change marks rectangles dirty in the view.
class SpriteNotify {
public:
    // Bits of a change's code.
    static constexpr int ChangedDepth = 1, ChangedPosition = 2, ChangedImage = 4;

    // Depth: the list reorders sprite and rect1 is dirty; position: rect1 (old) and rect2
    // (new) are dirty; image: rect1 is dirty. Without a view only the reordering happens.
    void Change(CSprite* sprite, int code, const QRect& rect1, const QRect& rect2 = QRect());

    CSpriteList* m_pList = nullptr;
    COSBView*    m_pView = nullptr;
};

class CSprite : public CDIB {
public:
    CSprite() = default;

    int GetX() const { return m_x; }
    int GetY() const { return m_y; }
    // Depth: smaller is nearer the viewer. 50 for a new sprite.
    int          GetZ() const { return m_z; }
    std::uint8_t GetTransparentIndex() const { return m_transparent; }

    // (x, y, x + width, y + height).
    QRect GetRect() const override { return QRect(m_x, m_y, GetWidth(), GetHeight()); }

    // Draws the sprite into dest within clip (the whole sprite when clip is null), skipping
    // its transparent pixels and clipped to dest.
    void Render(CDIB* dest, const QRect* clip) const;
    // True when (px, py) lies strictly inside the sprite's rectangle (its top row and left
    // column do not count) on a pixel that is not transparent.
    bool HitTest(int px, int py) const;
    // Moves the sprite; its old and new rectangles become dirty.
    void SetPosition(int x, int y);
    // Changes the depth; the list reorders the sprite and its rectangle becomes dirty.
    void SetZ(int z);
    void SetNotificationObject(SpriteNotify* notify) { m_pNotify = notify; }
    // The number of the image the sprite shows (0 when it was not loaded by number), so that
    // the same image can be drawn again at another size.
    int  GetImageId() const { return m_imageId; }
    void SetImageId(int id) { m_imageId = id; }
    // The transparent index becomes the colour of the top-left pixel.
    void Initialize();

    bool Load(int id) override;
    bool LoadFromMemory(const std::uint8_t* data, std::size_t size) override;
    bool MapColorsToPalette(const IdentityPalette* palette) override;

private:
    int           m_x = 0, m_y = 0, m_z = 50;
    std::uint8_t  m_transparent = 0;
    SpriteNotify* m_pNotify     = nullptr;
    int           m_imageId     = 0;
};

// The sprites of a picture, nearest first: depth never decreases from head to tail. The list
// owns its sprites.
class CSpriteList {
public:
    CSpriteList() { m_notify.m_pList = this; }
    ~CSpriteList() { RemoveAll(); }
    CSpriteList(const CSpriteList&)            = delete;
    CSpriteList& operator=(const CSpriteList&) = delete;

    // Takes sprite in front of every sprite of the same or greater depth: a new sprite stands
    // before older ones of its depth. Always true.
    bool Insert(CSprite* sprite);
    // Unlinks sprite without destroying it; null when it is not in the list.
    CSprite* Remove(CSprite* sprite);
    // Removes and destroys sprite, if it is in the list.
    void Destroy(CSprite* sprite);
    // Takes sprite out and in again after its depth changed.
    void Reorder(CSprite* sprite);
    // Destroys every sprite.
    void RemoveAll();
    // The nearest sprite whose HitTest (x, y) holds, or null.
    CSprite* HitTest(int x, int y) const;

    bool        IsEmpty() const { return m_sprites.empty(); }
    std::size_t GetCount() const { return m_sprites.size(); }
    bool        Contains(const CSprite* sprite) const;
    // Head (nearest) to tail (deepest).
    const std::list<CSprite*>& Sprites() const { return m_sprites; }

    SpriteNotify m_notify;

private:
    std::list<CSprite*> m_sprites;
};
