#include "book/book.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
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
    // Opened non-blocking and read only when it is a regular file: a FIFO or a device named
    // as the book never holds the engine up.
    const int fd = ::open(bookPath, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    // Records past the end of the file, or a failed read, leave zeros: no key matches them.
    unsigned char window[BookWindowLength * BookRecordSize] = {};
    const off_t   start = static_cast<off_t>(board.hashKey & 0xFFFF) * BookRecordSize;
    for (std::size_t done = 0; done < sizeof window;) {
        const ssize_t got =
            ::pread(fd, window + done, sizeof window - done, start + static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);

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
