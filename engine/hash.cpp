#include "engine/hash.h"

#include <cstring>
#include <memory>

thread_local constinit HashEntry*     transTable            = nullptr;
thread_local constinit std::uint32_t (*historyTable)[4096] = nullptr;

namespace {

struct SearchTables {
    HashEntry     trans[HashEntries];
    std::uint32_t history[2][4096];
};

// The owner of this thread's tables, which frees them when the thread ends. Reached only by
// clearTables; the search goes through the two plain pointers above.
thread_local std::unique_ptr<SearchTables> threadTables;

// The home index: the low 18 bits of the key. The walk goes down from it and stops before
// entry 0, with no wrap-around, so a home index of 0 has no entries at all.
int homeIndex(std::uint64_t key) { return static_cast<int>(key & HashIndexMask); }

bool holdsKey(const HashEntry& e, std::uint32_t low, std::uint32_t high) {
    return e.keyLow == low && e.keyHigh == high;
}

bool isEmpty(const HashEntry& e) { return e.keyLow == 0 && e.keyHigh == 0; }

}  // namespace

void clearTables() {
    if (!threadTables) {
        threadTables.reset(new SearchTables);  // zeroed just below
        transTable   = threadTables->trans;
        historyTable = threadTables->history;
    }
    std::memset(threadTables.get(), 0, sizeof(SearchTables));
}

bool probeHash(HashEntry* out) {
    const std::uint32_t low  = static_cast<std::uint32_t>(board.hashKey);
    const std::uint32_t high = static_cast<std::uint32_t>(board.hashKey >> 32);
    const int           home = homeIndex(board.hashKey);
    for (int i = home; i > 0 && i > home - HashProbeLength; --i) {
        const HashEntry& e = transTable[i];
        if (holdsKey(e, low, high)) {
            *out = e;
            return true;
        }
        // Entries are never removed during a search, so nothing of this key lies below a gap.
        if (isEmpty(e)) return false;
    }
    return false;
}

void storeHash(int move, int score, int depth) {
    const std::uint32_t low  = static_cast<std::uint32_t>(board.hashKey);
    const std::uint32_t high = static_cast<std::uint32_t>(board.hashKey >> 32);
    const int           home = homeIndex(board.hashKey);
    for (int i = home; i > 0 && i > home - HashProbeLength; --i) {
        HashEntry& e = transTable[i];
        if (holdsKey(e, low, high)) {
            if (depth > e.depth) {
                e.move     = static_cast<std::uint16_t>(move);
                e.score    = static_cast<std::int16_t>(score);
                e.depth    = static_cast<std::int16_t>(depth);
                e.reserved = 0;
            }
            return;
        }
        if (isEmpty(e)) {
            e = HashEntry{low, high, static_cast<std::uint16_t>(move),
                          static_cast<std::int16_t>(score), static_cast<std::int16_t>(depth), 0};
            return;
        }
    }
}

void rewardBestMove(int colour, const Move& bestMove, int depth) {
    std::uint32_t* counts = historyTable[colour];
    counts[bestMove.fromTo] += static_cast<std::uint32_t>(depth + 1);
    std::uint32_t& killer =
        capturedType(bestMove) != NoPiece ? captureKiller(colour) : quietKiller(colour);
    if (counts[bestMove.fromTo] > counts[killer]) killer = bestMove.fromTo;
}

int hashFullPerMille() {
    if (!transTable) return 0;
    int used = 0;
    for (int i = 1; i <= 1000; ++i) used += !isEmpty(transTable[i]);
    return used;
}
