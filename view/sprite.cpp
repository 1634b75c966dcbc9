#include "view/sprite.h"

#include <algorithm>

#include "view/osbview.h"

void SpriteNotify::Change(CSprite* sprite, int code, const QRect& rect1, const QRect& rect2) {
    if ((code & ChangedDepth) && m_pList) m_pList->Reorder(sprite);
    if (!m_pView) return;
    m_pView->AddDirtyRegion(rect1);
    if (code & ChangedPosition) m_pView->AddDirtyRegion(rect2);
}

void CSprite::Initialize() {
    if (const std::uint8_t* corner = GetPixelAddress(0, 0)) m_transparent = *corner;
}

bool CSprite::Load(int id) {
    if (!CDIB::Load(id)) return false;
    m_imageId = id;
    Initialize();
    return true;
}

bool CSprite::LoadFromMemory(const std::uint8_t* data, std::size_t size) {
    if (!CDIB::LoadFromMemory(data, size)) return false;
    Initialize();
    return true;
}

bool CSprite::MapColorsToPalette(const IdentityPalette* palette) {
    if (!CDIB::MapColorsToPalette(palette)) return false;
    Initialize();
    return true;
}

void CSprite::Render(CDIB* dest, const QRect* clip) const {
    QRect r = GetRect();
    if (clip) {
        if (!r.intersects(*clip)) return;
        r = r.intersected(*clip);
    }
    CopyBits(dest, r.left(), r.top(), r.width(), r.height(), r.left() - m_x, r.top() - m_y,
             m_transparent);
}

bool CSprite::HitTest(int px, int py) const {
    if (!(m_x < px && px < m_x + GetWidth() && m_y < py && py < m_y + GetHeight())) return false;
    const std::uint8_t* pixel = GetPixelAddress(px - m_x, py - m_y);
    return pixel && *pixel != m_transparent;
}

void CSprite::SetPosition(int x, int y) {
    const QRect before = GetRect();
    m_x                = x;
    m_y                = y;
    if (m_pNotify) m_pNotify->Change(this, SpriteNotify::ChangedPosition, before, GetRect());
}

void CSprite::SetZ(int z) {
    if (z == m_z) return;
    m_z = z;
    if (m_pNotify) m_pNotify->Change(this, SpriteNotify::ChangedDepth, GetRect());
}

bool CSpriteList::Insert(CSprite* sprite) {
    sprite->SetNotificationObject(&m_notify);
    const auto place = std::find_if(m_sprites.begin(), m_sprites.end(),
                                    [sprite](CSprite* s) { return s->GetZ() >= sprite->GetZ(); });
    m_sprites.insert(place, sprite);
    return true;
}

CSprite* CSpriteList::Remove(CSprite* sprite) {
    const auto found = std::find(m_sprites.begin(), m_sprites.end(), sprite);
    if (found == m_sprites.end()) return nullptr;
    m_sprites.erase(found);
    // Out of the list it reports to no one: a later move must not put it back by reordering.
    sprite->SetNotificationObject(nullptr);
    return sprite;
}

void CSpriteList::Destroy(CSprite* sprite) { delete Remove(sprite); }

void CSpriteList::Reorder(CSprite* sprite) {
    if (Remove(sprite)) Insert(sprite);
}

void CSpriteList::RemoveAll() {
    for (CSprite* sprite : m_sprites)
        delete sprite;
    m_sprites.clear();
}

CSprite* CSpriteList::HitTest(int x, int y) const {
    for (CSprite* sprite : m_sprites)
        if (sprite->HitTest(x, y)) return sprite;
    return nullptr;
}

bool CSpriteList::Contains(const CSprite* sprite) const {
    return std::find(m_sprites.begin(), m_sprites.end(), sprite) != m_sprites.end();
}
