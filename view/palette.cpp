#include "view/palette.h"

#include "view/dib.h"

IdentityPalette::IdentityPalette(const CDIB& image) : m_colours(256, qRgb(0, 0, 0)) {
    const DibInfo& info = image.GetInfo();
    for (int i = 0; i < image.GetColourCount(); ++i)
        m_colours[i] = qRgb(info.colours[i].red, info.colours[i].green, info.colours[i].blue);
}

int IdentityPalette::Nearest(int red, int green, int blue) const {
    int best = 0, bestDistance = 1 << 30;
    for (int i = 0; i < 256; ++i) {
        const int dr = qRed(m_colours[i]) - red, dg = qGreen(m_colours[i]) - green,
                  db       = qBlue(m_colours[i]) - blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best         = i;
            bestDistance = distance;
        }
    }
    return best;
}
