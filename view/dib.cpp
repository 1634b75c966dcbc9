#include "view/dib.h"

#include <QFile>

#include <algorithm>
#include <cstring>

#include "view/palette.h"

namespace {

std::uint32_t read32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

std::uint16_t read16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

// The grey table of a new image: entry i is (i, i, i).
void fillGrey(DibColour* colours) {
    for (int i = 0; i < 256; ++i) {
        const auto level = static_cast<std::uint8_t>(i);
        colours[i]       = {level, level, level, 0};
    }
}

} // namespace

CDIB::CDIB() : m_pInfo(std::make_unique<DibInfo>()) { Create(16, 16); }

CDIB::~CDIB() = default;

void CDIB::Release() {
    m_ownedBits.reset();
    m_pBits = nullptr;
}

bool CDIB::Create(int width, int height) {
    if (width < 1 || height < 1 || width > 1 << 15 || height > 1 << 15) return false;
    Release();
    std::memset(m_pInfo.get(), 0, sizeof(DibInfo));
    DibHeader& h  = m_pInfo->header;
    h.size        = sizeof(DibHeader);
    h.width       = width;
    h.height      = height;
    h.planes      = 1;
    h.bitCount    = 8;
    h.colourCount = 256;
    fillGrey(m_pInfo->colours);
    const std::size_t bytes = static_cast<std::size_t>(GetStride()) * height;
    h.sizeImage             = static_cast<std::uint32_t>(bytes);
    m_ownedBits             = std::make_unique<std::uint8_t[]>(bytes); // zeroed
    m_pBits                 = m_ownedBits.get();
    return true;
}

bool CDIB::Create(const DibInfo& info, std::uint8_t* bits) {
    const DibHeader& h = info.header;
    if (!bits || h.bitCount != 8 || h.compression != 0 || h.width < 1 || h.height < 1 ||
        h.colourCount > 256)
        return false;
    Release();
    // The header and the colour entries it uses; the rest of the table stays grey.
    fillGrey(m_pInfo->colours);
    const int colours = h.colourCount ? static_cast<int>(h.colourCount) : 256;
    m_pInfo->header   = h;
    std::memcpy(m_pInfo->colours, info.colours, sizeof(DibColour) * colours);
    m_pBits = bits;
    return true;
}

bool CDIB::Load(int id) {
    QFile file(QString(":/dib/%1.bmp").arg(id));
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray data = file.readAll();
    return LoadFromMemory(reinterpret_cast<const std::uint8_t*>(data.constData()),
                          static_cast<std::size_t>(data.size()));
}

bool CDIB::LoadFromMemory(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t FileHeaderSize = 14;
    if (!data || size < FileHeaderSize + sizeof(DibHeader) || data[0] != 'B' || data[1] != 'M')
        return false;
    const std::uint8_t* p = data + FileHeaderSize;
    DibHeader           h;
    h.size             = read32(p);
    h.width            = static_cast<std::int32_t>(read32(p + 4));
    h.height           = static_cast<std::int32_t>(read32(p + 8));
    h.planes           = read16(p + 12);
    h.bitCount         = read16(p + 14);
    h.compression      = read32(p + 16);
    h.sizeImage        = read32(p + 20);
    h.xPelsPerMeter    = static_cast<std::int32_t>(read32(p + 24));
    h.yPelsPerMeter    = static_cast<std::int32_t>(read32(p + 28));
    h.colourCount      = read32(p + 32);
    h.coloursImportant = read32(p + 36);
    if (h.size < sizeof(DibHeader) || h.bitCount != 8 || h.compression != 0 || h.width < 1 ||
        h.height < 1 || h.width > 1 << 15 || h.height > 1 << 15 || h.colourCount > 256)
        return false;

    // The colour table follows the header (whose size a newer writer may have grown); the
    // bits stand where the file header says. Both must lie inside the file.
    const std::size_t colours    = h.colourCount ? h.colourCount : 256;
    const std::size_t tableStart = FileHeaderSize + h.size;
    const std::size_t bitsStart  = read32(data + 10);
    const std::size_t stride     = (static_cast<std::size_t>(h.width) + 3) & ~std::size_t{3};
    const std::size_t bytes      = stride * static_cast<std::size_t>(h.height);
    if (tableStart > size || colours * sizeof(DibColour) > size - tableStart || bitsStart > size ||
        bytes > size - bitsStart)
        return false;

    Release();
    fillGrey(m_pInfo->colours);
    m_pInfo->header      = h;
    m_pInfo->header.size = sizeof(DibHeader);
    std::memcpy(m_pInfo->colours, data + tableStart, colours * sizeof(DibColour));
    m_ownedBits = std::make_unique<std::uint8_t[]>(bytes);
    std::memcpy(m_ownedBits.get(), data + bitsStart, bytes);
    m_pBits = m_ownedBits.get();
    return true;
}

int CDIB::GetColourCount() const {
    const std::uint32_t count = m_pInfo->header.colourCount;
    return count ? static_cast<int>(count) : 256;
}

std::uint8_t* CDIB::GetPixelAddress(int x, int y) {
    if (x < 0 || y < 0 || x >= GetWidth() || y >= GetHeight()) return nullptr;
    return m_pBits + static_cast<std::size_t>(GetHeight() - y - 1) * GetStride() + x;
}

const std::uint8_t* CDIB::GetPixelAddress(int x, int y) const {
    return const_cast<CDIB*>(this)->GetPixelAddress(x, y);
}

void CDIB::CopyBits(CDIB* dest, int dx, int dy, int w, int h, int sx, int sy,
                    int transparent) const {
    if (!dest) return;
    // Clip the block to this image, then to the destination, in 64-bit arithmetic so that
    // no combination of arguments overflows.
    std::int64_t x0 = sx, y0 = sy, x1 = dx, y1 = dy, cw = w, ch = h;
    // A negative start a moves both starts on and shortens the block's extent.
    const auto   clipLow = [](std::int64_t& a, std::int64_t& b, std::int64_t& extent) {
        if (a < 0) {
            b -= a;
            extent += a;
            a = 0;
        }
    };
    clipLow(x0, x1, cw);
    clipLow(x1, x0, cw);
    clipLow(y0, y1, ch);
    clipLow(y1, y0, ch);
    cw = std::min({cw, GetWidth() - x0, dest->GetWidth() - x1});
    ch = std::min({ch, GetHeight() - y0, dest->GetHeight() - y1});
    if (cw <= 0 || ch <= 0) return;

    const auto key = static_cast<std::uint8_t>(transparent & 0xFF);
    for (std::int64_t row = ch - 1; row >= 0; --row) {
        const std::uint8_t* from = GetPixelAddress(int(x0), int(y0 + row));
        std::uint8_t*       to   = dest->GetPixelAddress(int(x1), int(y1 + row));
        if (transparent == -1) {
            std::memmove(to, from, static_cast<std::size_t>(cw));
            continue;
        }
        for (std::int64_t i = 0; i < cw; ++i)
            if (from[i] != key) to[i] = from[i];
    }
}

bool CDIB::MapColorsToPalette(const IdentityPalette* palette) {
    if (!palette) return false;
    std::uint8_t map[256];
    for (int i = 0; i < 256; ++i)
        map[i] = static_cast<std::uint8_t>(palette->Nearest(
            m_pInfo->colours[i].red, m_pInfo->colours[i].green, m_pInfo->colours[i].blue));
    for (int y = 0; y < GetHeight(); ++y) {
        std::uint8_t* row = GetPixelAddress(0, y);
        for (int x = 0; x < GetWidth(); ++x)
            row[x] = map[row[x]];
    }
    for (int i = 0; i < 256; ++i) {
        const QRgb c        = palette->Entry(i);
        m_pInfo->colours[i] = {static_cast<std::uint8_t>(qBlue(c)),
                               static_cast<std::uint8_t>(qGreen(c)),
                               static_cast<std::uint8_t>(qRed(c)), 0};
    }
    m_pInfo->header.colourCount = 256;
    return true;
}
