#include "book/bookbuild.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/makemove.h"

namespace {

constexpr std::size_t SlotCount  = 65536 + 15;
constexpr std::size_t RecordSize = 16;
constexpr int         WindowSize = 16;

void putWord32(unsigned char* at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

void putWord16(unsigned char* at, std::uint16_t value) {
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}

unsigned readWord16(const unsigned char* at) { return at[0] | unsigned{at[1]} << 8; }

// A record of a book at slot: empty, or a position whose home window holds slot and whose
// moves each join two squares.
bool recordFits(const unsigned char* record, std::size_t slot) {
    if (std::all_of(record, record + RecordSize, [](unsigned char b) { return b == 0; }))
        return true;
    const std::size_t home = readWord16(record);  // the key's low 16 bits
    if (slot < home || slot >= home + WindowSize) return false;
    int moves = 0;
    for (int i = 0; i < 4; ++i) {
        const unsigned packed = readWord16(record + 8 + 2 * i);
        if (packed == 0) continue;
        if (packed >= 64 * 64 || packed / 64 == packed % 64) return false;
        ++moves;
    }
    return moves > 0;
}

}  // namespace

void addGameToBook(BookCollection& book, const Move* game, int count, int plies) {
    // The moves may be the current game's own list, which setupStartPosition clears.
    const std::vector<Move> moves(game, game + std::min(count, plies));
    const int               limit = static_cast<int>(moves.size());
    setupStartPosition();
    int       made  = 0;
    for (; made < limit && moves[made].piece != NoPiece; ++made) {
        const Move& move      = moves[made];
        const int   promotion = promotionType(move);
        if (promotion != 0 && promotion != Queen) break;
        BookCollection::Position& position = book.positions[board.hashKey];
        auto known = std::find_if(position.moves.begin(), position.moves.end(),
                                  [&](const BookCollection::MoveCount& m) { return m.packed == move.fromTo; });
        if (known == position.moves.end())
            position.moves.push_back({move.fromTo, 1});
        else
            ++known->count;
        ++position.total;
        makeMove(move);
    }
    while (made > 0) unmakeMove(moves[--made]);
}

BookWriteResult writeBook(const BookCollection& book, const char* path) {
    BookWriteResult result;

    // Most played positions first, then by key, so that the same games give the same file.
    std::vector<std::pair<std::uint64_t, const BookCollection::Position*>> order;
    order.reserve(book.positions.size());
    for (const auto& [key, position] : book.positions) order.emplace_back(key, &position);
    std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
        return a.second->total != b.second->total ? a.second->total > b.second->total : a.first < b.first;
    });

    std::vector<unsigned char> slots(SlotCount * RecordSize, 0);
    std::vector<bool>          taken(SlotCount, false);
    for (const auto& [key, position] : order) {
        const std::size_t home = key & 0xFFFF;
        std::size_t       slot = home;
        while (slot < home + WindowSize && taken[slot]) ++slot;
        if (slot == home + WindowSize) {
            ++result.skipped;
            continue;
        }
        std::vector<BookCollection::MoveCount> moves = position->moves;
        std::stable_sort(moves.begin(), moves.end(),
                         [](const auto& a, const auto& b) { return a.count > b.count; });
        unsigned char* record = &slots[slot * RecordSize];
        putWord32(record, static_cast<std::uint32_t>(key));
        putWord32(record + 4, static_cast<std::uint32_t>(key >> 32));
        for (std::size_t i = 0; i < moves.size() && i < 4; ++i) putWord16(record + 8 + 2 * i, moves[i].packed);
        taken[slot] = true;
        ++result.positions;
    }

    // The file is written under a fresh name beside path, created exclusively (never through
    // an existing file or symlink), and renamed over path only when complete.
    std::string temporary = std::string(path) + ".XXXXXX";
    const int   fd        = mkstemp(temporary.data());
    if (fd < 0) {
        result.error = "cannot create a file beside " + std::string(path) + ": " + std::strerror(errno);
        return result;
    }
    // mkstemp makes the file private; a book is read by everyone, as a plainly created file.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    FILE* file = fdopen(fd, "wb");
    if (!file) {
        result.error = "cannot write " + temporary + ": " + std::strerror(errno);
        close(fd);
        unlink(temporary.c_str());
        return result;
    }
    const bool written = std::fwrite(slots.data(), 1, slots.size(), file) == slots.size();
    const int  writeErrno = errno;
    if (std::fclose(file) != 0 || !written) {
        const int reason = written ? errno : writeErrno;
        unlink(temporary.c_str());
        result.error = "cannot write " + temporary + ": " + std::strerror(reason);
        return result;
    }
    if (std::rename(temporary.c_str(), path) != 0) {
        result.error = "cannot replace " + std::string(path) + ": " + std::strerror(errno);
        unlink(temporary.c_str());
        return result;
    }
    result.ok = true;
    return result;
}

bool holdsBook(const unsigned char* bytes, std::size_t size) {
    if (size % RecordSize != 0 || size > SlotCount * RecordSize) return false;
    for (std::size_t slot = 0; slot < size / RecordSize; ++slot)
        if (!recordFits(bytes + slot * RecordSize, slot)) return false;
    return true;
}
