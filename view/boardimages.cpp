#include "view/boardimages.h"

#include <QFile>
#include <QHash>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/board.h"
#include "view/boardscale.h"
#include "view/piecedesigns.h"
#include "view/sprite.h"

namespace {

// The standard image file of number id, or empty.
QByteArray resourceFile(int id) {
    QFile file(QString(":/dib/%1.bmp").arg(id));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The shared colour table (1024 bytes, blue green red zero), read from the board's file.
const QByteArray& colourTable() {
    static const QByteArray table = [] {
        const QByteArray file = resourceFile(BoardImage);
        if (file.size() < 14 + 40 + 1024) return QByteArray();
        return file.mid(14 + 40, 1024);
    }();
    return table;
}

// The index of an exact colour of the shared table (0, the transparent key, if absent).
std::uint8_t colourIndex(int red, int green, int blue) {
    const QByteArray& table = colourTable();
    for (int i = 0; i + 3 < table.size(); i += 4)
        if (std::uint8_t(table[i]) == blue && std::uint8_t(table[i + 1]) == green &&
            std::uint8_t(table[i + 2]) == red)
            return static_cast<std::uint8_t>(i / 4);
    return 0;
}

// The colours of the designs (the same as scripts/make-images uses).
struct Colours {
    std::uint8_t key         = colourIndex(255, 0, 255);
    std::uint8_t lightSquare = colourIndex(240, 217, 181), lightGrain = colourIndex(232, 207, 169);
    std::uint8_t darkSquare = colourIndex(181, 136, 99), darkGrain = colourIndex(171, 126, 90);
    std::uint8_t grid = colourIndex(94, 62, 38), frameDark = colourIndex(62, 38, 22);
    std::uint8_t frame = colourIndex(110, 72, 43), frameLight = colourIndex(139, 95, 60);
    std::uint8_t margin = colourIndex(78, 50, 30), label = colourIndex(240, 222, 184);
    std::uint8_t whiteFill = colourIndex(250, 248, 240), whiteShade = colourIndex(206, 198, 182);
    std::uint8_t whiteLine = colourIndex(28, 24, 22);
    std::uint8_t blackFill = colourIndex(56, 54, 58), blackLight = colourIndex(104, 102, 110);
    std::uint8_t blackLine = colourIndex(12, 10, 10), blackDetail = colourIndex(214, 208, 196);
};

const Colours& colours() {
    static const Colours c;
    return c;
}

IndexedPicture blank(int width, int height, std::uint8_t fill) {
    IndexedPicture p;
    p.width  = width;
    p.height = height;
    p.pixels.assign(static_cast<std::size_t>(width) * height, fill);
    return p;
}

double segmentDistance(double px, double py, const std::array<double, 4>& s) {
    const double dx = s[2] - s[0], dy = s[3] - s[1];
    const double t =
        std::clamp(((px - s[0]) * dx + (py - s[1]) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(px - s[0] - t * dx, py - s[1] - t * dy);
}

// The silhouette of piece at size: a pixel belongs to it when at least half of its 4 x 4
// sample points do. Both colours of a piece share it: the last size's six are kept.
const std::vector<char>& pieceMask(int piece, const PieceDesign& design, int size) {
    static int               maskSize = 0;
    static std::vector<char> masks[King + 1];
    if (maskSize != size) {
        for (auto& mask : masks)
            mask.clear();
        maskSize = size;
    }
    std::vector<char>& mask = masks[piece];
    if (!mask.empty()) return mask;
    const double scale = size / 32.0;
    mask.resize(static_cast<std::size_t>(size) * size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            int hits = 0;
            for (int i = 0; i < 4; ++i)
                for (int j = 0; j < 4; ++j)
                    hits += design.shape((x + (i + 0.5) / 4) / scale, (y + (j + 0.5) / 4) / scale);
            mask[static_cast<std::size_t>(y) * size + x] = hits >= 8;
        }
    return mask;
}

// A piece of size x size pixels drawn scale times larger than its 32-pixel design. A dark
// outline and a two-tone bevel lit from the top left stand in for anti-aliasing, which one
// transparent index cannot have.
IndexedPicture drawPiece(int piece, bool white, int size) {
    const Colours&           c      = colours();
    const double             scale  = size / 32.0;
    const PieceDesign        design = pieceDesign(piece);
    const std::vector<char>& mask   = pieceMask(piece, design, size);
    const auto               inside = [&](int x, int y) {
        return x >= 0 && x < size && y >= 0 && y < size &&
               mask[static_cast<std::size_t>(y) * size + x];
    };
    // The outline and the bevel grow with the piece, a pixel wide at the standard size.
    const int          line   = std::max(1, static_cast<int>(std::lround(scale)));
    const std::uint8_t fill   = white ? c.whiteFill : c.blackFill;
    const std::uint8_t edge   = white ? c.whiteLine : c.blackLine;
    const std::uint8_t detail = white ? c.whiteLine : c.blackDetail;

    IndexedPicture p = blank(size, size, c.key);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            if (!inside(x, y)) continue;
            bool outline = false;
            for (int dy = -line; dy <= line && !outline; ++dy)
                for (int dx = -line; dx <= line && !outline; ++dx)
                    outline = (dx || dy) && !inside(x + dx, y + dy);
            if (outline)
                p.at(x, y) = edge;
            else if (white && !(inside(x + 2 * line, y + line) && inside(x + line, y + 2 * line)))
                p.at(x, y) = c.whiteShade; // the side away from the light
            else if (!white && !(inside(x - 2 * line, y - line) && inside(x - line, y - 2 * line)))
                p.at(x, y) = c.blackLight; // the side facing the light
            else
                p.at(x, y) = fill;
        }
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            if (p.at(x, y) == c.key || p.at(x, y) == edge) continue;
            const double cx = (x + 0.5) / scale, cy = (y + 0.5) / scale;
            for (const auto& segment : design.lines)
                if (segmentDistance(cx, cy, segment) < 0.55) p.at(x, y) = detail;
            if (design.dots && design.dots(cx, cy)) p.at(x, y) = detail;
        }
    return p;
}

// The wooden frame, the grid and the 64 squares with a faint grain, every length grown with
// the pitch.
IndexedPicture drawBoard(const BoardGeometry& g) {
    const Colours& c    = colours();
    const int      side = g.Side();
    const int      line = std::max(1, g.Scaled(1));
    const int x23 = g.Scaled(23), x27 = g.Scaled(27), x292 = g.Scaled(292), x296 = g.Scaled(296);
    const int y3 = g.Scaled(3), y271 = g.Scaled(271), y275 = g.Scaled(275);
    IndexedPicture p = blank(side, side, c.margin);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            if (x < x23 || x > x296 || y > y275) continue;
            const int d = std::min({x - x23, x296 - x, y, y275 - y});
            if (x >= x27 && x <= x292 && y >= y3 && y <= y271) {
                const bool rim =
                    x < x27 + line || x > x292 - line || y < y3 + line || y > y271 - line;
                p.at(x, y) = rim ? c.frameDark : c.grid;
            } else if (d < line) {
                p.at(x, y) = c.frameDark;
            } else if ((x < x27 && y > x - x23 && y < y275 - (x - x23)) ||
                       (y < y3 && x > x23 + y)) {
                p.at(x, y) = c.frameLight; // lit from the top left
            } else {
                p.at(x, y) = c.frame;
            }
        }
    const double unit = g.Pitch() / double(StandardPitch);
    for (int rank = 0; rank < 8; ++rank)
        for (int file = 0; file < 8; ++file) {
            const QRect r     = g.SquareRect(file + 8 * rank);
            const bool  light = (file + rank) % 2 == 1;
            const auto  flat  = light ? c.lightSquare : c.darkSquare;
            const auto  grain = light ? c.lightGrain : c.darkGrain;
            for (int y = 0; y < r.height(); ++y)
                for (int x = 0; x < r.width(); ++x) {
                    // Thin wavy streaks along the rank on light squares and along the file
                    // on dark ones, fixed by the square so that every drawing agrees.
                    const double sx = (x + 0.5) / unit - 0.5, sy = (y + 0.5) / unit - 0.5;
                    const double u = light ? sx : sy, v = light ? sy : sx;
                    const double wave =
                        std::sin((v + 1.2 * std::sin(u / 9.0 + file * 1.7 + rank)) * 0.9 +
                                 file * 0.9 + rank * 2.3);
                    p.at(r.left() + x, r.top() + y) = wave > 0.93 ? grain : flat;
                }
        }
    return p;
}

// A 5 x 7 pixel font for the letters and digits of the strips.
const char* glyph(char ch, int row) {
    static const char* const glyphs[16][7] = {
        {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}, // a
        {"#....", "#....", "####.", "#...#", "#...#", "#...#", "####."}, // b
        {".....", ".....", ".####", "#....", "#....", "#....", ".####"}, // c
        {"....#", "....#", ".####", "#...#", "#...#", "#...#", ".####"}, // d
        {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."}, // e
        {"..##.", ".#...", "####.", ".#...", ".#...", ".#...", ".#..."}, // f
        {".....", ".####", "#...#", "#...#", ".####", "....#", ".###."}, // g
        {"#....", "#....", "####.", "#...#", "#...#", "#...#", "#...#"}, // h
        {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}, // 1
        {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}, // 2
        {"####.", "....#", "....#", ".###.", "....#", "....#", "####."}, // 3
        {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}, // 4
        {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}, // 5
        {".###.", "#....", "#....", "####.", "#...#", "#...#", ".###."}, // 6
        {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}, // 7
        {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}, // 8
    };
    return glyphs[ch >= 'a' ? ch - 'a' : 8 + ch - '1'][row];
}

// The glyph of ch, each font pixel k x k device pixels, with its top-left at (left, top).
void putGlyph(IndexedPicture& p, char ch, int left, int top, int k) {
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 5; ++col)
            if (glyph(ch, row)[col] == '#')
                for (int y = 0; y < k; ++y)
                    for (int x = 0; x < k; ++x) {
                        const int px = left + col * k + x, py = top + row * k + y;
                        if (px >= 0 && px < p.width && py >= 0 && py < p.height)
                            p.at(px, py) = colours().label;
                    }
}

// One letter under the middle of each file, or one digit beside the middle of each rank.
IndexedPicture drawStrip(const BoardGeometry& g, bool files, bool flipped) {
    const int k = std::max(1, g.Scaled(1));
    if (files) {
        const QPoint   at = g.FileStripPosition();
        IndexedPicture p  = blank(g.Scaled(239), g.Scaled(13), colours().key);
        for (int column = 0; column < 8; ++column) {
            const QRect r      = g.SquareRect(column);
            const int   centre = r.left() + r.width() / 2 - at.x();
            putGlyph(p, "abcdefgh"[flipped ? 7 - column : column], centre - 5 * k / 2, g.Scaled(2),
                     k);
        }
        return p;
    }
    const QPoint   at = g.RankStripPosition();
    IndexedPicture p  = blank(g.Scaled(10), g.Scaled(244), colours().key);
    for (int row = 0; row < 8; ++row) {
        const QRect r      = g.SquareRect(8 * row);
        const int   centre = r.top() + r.height() / 2 - at.y();
        putGlyph(p, "12345678"[flipped ? 7 - row : row], g.Scaled(3), centre - 7 * k / 2, k);
    }
    return p;
}

void put32(QByteArray& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>(v >> (8 * i) & 0xFF));
}

void put16(QByteArray& out, std::uint16_t v) {
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>(v >> 8));
}

// The picture as an 8-bit BMP file with the shared colour table.
QByteArray bmpFile(const IndexedPicture& p) {
    const int           stride = (p.width + 3) & ~3;
    const std::uint32_t bits   = static_cast<std::uint32_t>(stride) * p.height;
    const std::uint32_t offset = 14 + 40 + 1024;
    QByteArray          out;
    out.reserve(static_cast<qsizetype>(offset + bits));
    out.append("BM");
    put32(out, offset + bits);
    put32(out, 0);
    put32(out, offset);
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(p.width));
    put32(out, static_cast<std::uint32_t>(p.height));
    put16(out, 1);
    put16(out, 8);
    put32(out, 0);
    put32(out, bits);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 256);
    put32(out, 0);
    out.append(colourTable());
    const QByteArray padding(stride - p.width, '\0');
    for (int y = p.height - 1; y >= 0; --y) { // bottom-up
        out.append(reinterpret_cast<const char*>(&p.pixels[static_cast<std::size_t>(y) * p.width]),
                   p.width);
        out.append(padding);
    }
    return out;
}

} // namespace

IndexedPicture drawBoardImage(int id, int pitch) {
    const BoardGeometry g(pitch);
    if (id == BoardImage) return drawBoard(g);
    if (id >= FirstPieceImage && id <= LastPieceImage) {
        // King, queen, rook, bishop, knight, pawn: white first.
        static constexpr int pieces[6] = {King, Queen, Rook, Bishop, Knight, Pawn};
        const int            n         = id - FirstPieceImage;
        return drawPiece(pieces[n % 6], n < 6, g.PieceSize());
    }
    if (id == FileStripImage || id == FlippedFileStripImage)
        return drawStrip(g, true, id == FlippedFileStripImage);
    if (id == RankStripImage || id == FlippedRankStripImage)
        return drawStrip(g, false, id == FlippedRankStripImage);
    return {};
}

bool loadBoardImage(CDIB& image, int id, int pitch) {
    const QByteArray file = boardImageFile(id, pitch);
    if (file.isEmpty() ||
        !image.LoadFromMemory(reinterpret_cast<const std::uint8_t*>(file.constData()),
                              static_cast<std::size_t>(file.size())))
        return false;
    if (auto* sprite = dynamic_cast<CSprite*>(&image)) sprite->SetImageId(id);
    return true;
}

QByteArray boardImageFile(int id, int pitch) {
    if (pitch == StandardPitch) return resourceFile(id);
    if (colourTable().isEmpty()) return {};
    // The images of the last few sizes are kept: a window that is resized back and forth,
    // or a view on each of two screens, draws each size once.
    static QHash<qint64, QByteArray> cache;
    static QList<int>                pitches;
    const qint64                     key = qint64(pitch) << 16 | id;
    if (const auto found = cache.constFind(key); found != cache.constEnd()) return *found;
    if (!pitches.contains(pitch)) {
        pitches.append(pitch);
        if (pitches.size() > 4) {
            const int oldest = pitches.takeFirst();
            for (auto it = cache.begin(); it != cache.end();)
                it = (it.key() >> 16) == oldest ? cache.erase(it) : std::next(it);
        }
    }
    const IndexedPicture picture = drawBoardImage(id, pitch);
    if (picture.pixels.empty()) return {};
    return cache[key] = bmpFile(picture);
}
