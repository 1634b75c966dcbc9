#include "book/book.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/attacks.h"
#include "engine/makemove.h"
#include "engine/movegen.h"

char bookPath[BookPathSize];

namespace {

std::uint32_t readLe32(const unsigned char* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

int readLe16(const unsigned char* p) { return p[0] | p[1] << 8; }

}  // namespace

void setBookPath(const char* path) {
    std::strncpy(bookPath, path, BookPathSize - 1);
    bookPath[BookPathSize - 1] = '\0';
}

bool probeBook(int side, Move* out) {
    std::FILE* file = std::fopen(bookPath, "rb");
    if (!file) return false;
    // Records past the end of the file, or a failed read, leave zeros: no key matches them.
    unsigned char window[BookWindowLength * BookRecordSize] = {};
    const long    slot = static_cast<long>(board.hashKey & 0xFFFF);
    if (std::fseek(file, slot * BookRecordSize, SEEK_SET) == 0)
        (void)std::fread(window, 1, sizeof window, file);
    std::fclose(file);

    const std::uint32_t low  = static_cast<std::uint32_t>(board.hashKey);
    const std::uint32_t high = static_cast<std::uint32_t>(board.hashKey >> 32);
    const unsigned char* record = nullptr;
    for (int i = 0; i < BookWindowLength && !record; ++i) {
        const unsigned char* r = window + i * BookRecordSize;
        if (readLe32(r) == low && readLe32(r + 4) == high) record = r;
    }
    if (!record) return false;

    int moves[BookMovesPerRecord], count = 0;
    for (int i = 0; i < BookMovesPerRecord; ++i) {
        moves[i] = readLe16(record + 8 + 2 * i);
        if (moves[i] != 0) ++count;
    }
    if (count == 0) return false;
    // A uniform draw when the moves fill the first slots, as a book writer places them.
    const int r      = std::rand() % count;
    const int packed = moves[r] != 0 ? moves[r] : moves[0];
    if (!moveFromCoords(out, side, packed)) return false;
    makeMove(*out);
    const bool illegal = isAttacked(board.kingSquare[side], side ^ 1);
    unmakeMove(*out);
    return !illegal;
}
