// The board's images at any size. At the standard pitch they are the program's resources,
// drawn by scripts/make-images; at every other pitch they are drawn when first asked for,
// from the same designs, in the same shared colour table, and kept for later requests.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

// Image numbers: the board, the twelve pieces, the coordinate strips.
inline constexpr int BoardImage      = 130;
inline constexpr int FirstPieceImage = 131, LastPieceImage = 142; // white K Q R B N P, black
inline constexpr int FileStripImage = 143, FlippedFileStripImage = 104;
inline constexpr int RankStripImage = 144, FlippedRankStripImage = 105;

class CDIB;

// Loads image id at pitch into image (a sprite remembers the number). False when it does not
// load; the image is then unchanged.
bool loadBoardImage(CDIB& image, int id, int pitch);

// The image as the bytes of an 8-bit BMP file, or empty when the number is unknown or the
// resources are missing.
QByteArray boardImageFile(int id, int pitch);

// An 8-bit picture, rows top-down, one byte per pixel.
struct IndexedPicture {
    int                       width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
    std::uint8_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Draws image id at pitch with the shared table's indices (empty picture for an unknown id).
IndexedPicture drawBoardImage(int id, int pitch);
