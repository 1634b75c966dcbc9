// CDIB: an 8-bit image with a 256-entry colour table in the device-independent bitmap layout
// (rows bottom-up, each padded to a multiple of 4 bytes), in its own memory.
#pragma once

#include <QRect>

#include <cstddef>
#include <cstdint>
#include <memory>

class IdentityPalette;

// The 40-byte bitmap information header as it stands in a BMP file.
struct DibHeader {
    std::uint32_t size; // 40
    std::int32_t  width;
    std::int32_t  height; // positive: rows stored bottom-up
    std::uint16_t planes;
    std::uint16_t bitCount;
    std::uint32_t compression;
    std::uint32_t sizeImage;
    std::int32_t  xPelsPerMeter;
    std::int32_t  yPelsPerMeter;
    std::uint32_t colourCount; // entries of the colour table in use; 0 means 256
    std::uint32_t coloursImportant;
};
static_assert(sizeof(DibHeader) == 40);

// One colour-table entry, in the file's blue, green, red order.
struct DibColour {
    std::uint8_t blue, green, red, zero;
};

// The header followed by a full colour table.
struct DibInfo {
    DibHeader header;
    DibColour colours[256];
};

class CDIB {
public:
    // A 16 x 16 image, grey colour table, all pixels 0.
    CDIB();
    virtual ~CDIB();
    CDIB(const CDIB&)            = delete;
    CDIB& operator=(const CDIB&) = delete;

    // Drops what it holds and makes a width x height image with the grey colour table
    // (entry i = (i, i, i)) and zeroed bits that it owns. False for sizes below 1.
    bool Create(int width, int height);
    // Copies info (header and its colour table) and uses bits, which it does not own and which
    // must outlive it. False unless info describes an uncompressed 8-bit image.
    bool Create(const DibInfo& info, std::uint8_t* bits);

    // Loads image number id from the program's resources (":/dib/<id>.bmp"). False when it
    // is missing or not an 8-bit uncompressed bottom-up BMP; the image is then unchanged.
    virtual bool Load(int id);
    // Loads a BMP file image: the header at byte 14, the bits at the file header's offset.
    // The bits are copied, so data need not outlive the call.
    virtual bool LoadFromMemory(const std::uint8_t* data, std::size_t size);

    int GetWidth() const { return m_pInfo->header.width; }
    int GetHeight() const { return m_pInfo->header.height; }
    // Bytes per row: the width rounded up to a multiple of 4.
    int GetStride() const { return (GetWidth() + 3) & ~3; }

    // The byte of column x in row y counted from the top, or null outside the image.
    std::uint8_t*       GetPixelAddress(int x, int y);
    const std::uint8_t* GetPixelAddress(int x, int y) const;

    // (0, 0, width, height).
    virtual QRect GetRect() const { return QRect(0, 0, GetWidth(), GetHeight()); }

    // Copies the w x h block at (sx, sy) of this image to (dx, dy) in dest, bottom row first.
    // transparent -1 copies every byte; otherwise source bytes equal to its low byte are
    // skipped. The block is clipped to both images: nothing outside either is read or written.
    void CopyBits(CDIB* dest, int dx, int dy, int w, int h, int sx, int sy, int transparent) const;

    // Rewrites every pixel to the palette's nearest colour and takes the palette's 256
    // entries as the colour table. False when palette is null.
    virtual bool MapColorsToPalette(const IdentityPalette* palette);

    const DibInfo& GetInfo() const { return *m_pInfo; }
    DibColour*     GetColours() { return m_pInfo->colours; }
    std::uint8_t*  GetBits() { return m_pBits; }
    // Entries of the colour table in use (1 to 256).
    int GetColourCount() const;

private:
    void Release();

    std::unique_ptr<DibInfo>        m_pInfo;
    std::uint8_t*                   m_pBits = nullptr;
    std::unique_ptr<std::uint8_t[]> m_ownedBits; // the bits when the image owns them, else null
};
