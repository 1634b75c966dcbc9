// IdentityPalette: the one palette every image of the board shares, made from the
// background's colour table. On the true-colour displays Qt draws on, it needs no system
// palette work: it is the table that the off-screen buffer's indexed image shows through.
#pragma once

#include <QList>
#include <QRgb>

class CDIB;

class IdentityPalette {
public:
    // 256 entries: the image's colour table, and black beyond the entries it uses.
    explicit IdentityPalette(const CDIB& image);

    QRgb               Entry(int index) const { return m_colours[index]; }
    const QList<QRgb>& ColourTable() const { return m_colours; }
    // The index of the entry nearest to (red, green, blue); the lowest index among equals, so
    // an exact match is always found again.
    int Nearest(int red, int green, int blue) const;

private:
    QList<QRgb> m_colours;
};
