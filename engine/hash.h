// The tables that carry knowledge between the nodes of one search: the transposition table,
// the history counts and the two killer moves per colour. The root clears all of them before
// every search, so nothing survives from one engine move to the next.
//
// Each thread that searches has its own tables, made by its first clearTables and freed when
// the thread ends: two searches on two threads never share an entry, and the threads that
// never search (the passes over files, the window's) carry none of their 4 MB.
#pragma once

#include <cstdint>

#include "engine/board.h"

// One transposition entry, 16 bytes. Both key halves 0 marks an empty entry. There is no
// bound type: a fail-high score and an exact score are stored alike.
struct HashEntry {
    std::uint32_t keyLow;    // low half of the position's hashKey
    std::uint32_t keyHigh;   // high half
    std::uint16_t move;      // best move as origin * 64 + destination; 0 = none
    std::int16_t  score;     // from the view of the side to move there
    std::int16_t  depth;     // remaining depth the node was searched with
    std::uint16_t reserved;  // always 0
};
static_assert(sizeof(HashEntry) == 16);

inline constexpr int HashEntries = 1 << 18;
inline constexpr int HashIndexMask = HashEntries - 1;
// Entries examined per probe or store, walking down from the home index.
inline constexpr int HashProbeLength = 8;

// 2^18 entries, 4 MB, this thread's. Entry 0 is never examined or written. Null until the
// thread's first clearTables.
extern thread_local constinit HashEntry* transTable;
// [colour][origin * 64 + destination]: how often and how deeply a move was best at a node.
// The never-used counters of b1-b1 and c1-c1 hold the killers. This thread's, beside transTable.
extern thread_local constinit std::uint32_t (*historyTable)[4096];

inline constexpr int CaptureKillerSlot = 65;   // b1-b1
inline constexpr int QuietKillerSlot   = 130;  // c1-c1

// The capture and the quiet move whose history count is the highest of those that were best
// at a node for colour; origin * 64 + destination, 0 = none. Clearing the history clears them.
inline std::uint32_t& captureKiller(int colour) { return historyTable[colour][CaptureKillerSlot]; }
inline std::uint32_t& quietKiller(int colour) { return historyTable[colour][QuietKillerSlot]; }

// Zeroes the transposition table, the history counts and the killers of this thread, making
// them first when the thread has none. The search's only allocation, before its first node.
void clearTables();

// Looks up the Board's hashKey. On a hit copies the whole entry to out and answers true; on
// a miss leaves out as it was.
bool probeHash(HashEntry* out);

// Records the node just searched under the Board's hashKey. An entry of the same position is
// only overwritten by a greater depth; when the eight entries below the home index all hold
// other positions the store is dropped.
void storeHash(int move, int score, int depth);

// Credits bestMove, the move that raised alpha at a finished node of colour, with depth + 1
// and makes it the killer of its kind when its count now beats the current killer's.
void rewardBestMove(int colour, const Move& bestMove, int depth);

// How full this thread's transposition table is, per mille, judged by entries 1 to 1000.
int hashFullPerMille();
