#include "engine/hash.h"

#include "engine_fixture.h"

namespace {

// A key with the given home index and high bits that tell positions apart.
std::uint64_t keyAt(int home, std::uint64_t tag) { return (tag << 32) | (tag << 18) | home; }

bool probe(std::uint64_t key, HashEntry& entry) {
    board.hashKey = key;
    entry         = HashEntry{};
    return probeHash(&entry);
}

void store(std::uint64_t key, int move, int score, int depth) {
    board.hashKey = key;
    storeHash(move, score, depth);
}

class HashTables : public ::testing::Test {
protected:
    void SetUp() override {
        setupStartPosition();
        clearTables();
    }
    void TearDown() override { setupStartPosition(); }
};

}  // namespace

TEST_F(HashTables, StoresAtTheHomeIndexAndFindsTheWholeKey) {
    const std::uint64_t key = keyAt(1000, 7);
    store(key, 12 * 64 + 28, -150, 3);
    const HashEntry& home = transTable[1000];
    EXPECT_EQ(home.keyLow, static_cast<std::uint32_t>(key));
    EXPECT_EQ(home.keyHigh, static_cast<std::uint32_t>(key >> 32));
    EXPECT_EQ(home.reserved, 0);

    HashEntry entry;
    ASSERT_TRUE(probe(key, entry));
    EXPECT_EQ(entry.move, 12 * 64 + 28);
    EXPECT_EQ(entry.score, -150);
    EXPECT_EQ(entry.depth, 3);

    // Same low half, other high half: a miss that leaves the caller's record alone.
    board.hashKey = key ^ (std::uint64_t{1} << 40);
    HashEntry untouched{};
    untouched.move = 99;
    EXPECT_FALSE(probeHash(&untouched));
    EXPECT_EQ(untouched.move, 99);
}

TEST_F(HashTables, OnlyAGreaterDepthOverwrites) {
    const std::uint64_t key = keyAt(500, 1);
    HashEntry           entry;
    store(key, 100, 10, 3);
    store(key, 200, 20, 3);
    ASSERT_TRUE(probe(key, entry));
    EXPECT_EQ(entry.move, 100);
    EXPECT_EQ(entry.score, 10);

    store(key, 300, 30, 4);
    ASSERT_TRUE(probe(key, entry));
    EXPECT_EQ(entry.move, 300);
    EXPECT_EQ(entry.score, 30);
    EXPECT_EQ(entry.depth, 4);

    store(key, 400, 40, 2);
    ASSERT_TRUE(probe(key, entry));
    EXPECT_EQ(entry.move, 300);
    EXPECT_EQ(transTable[499].keyLow, 0u) << "an update never takes a second entry";
}

TEST_F(HashTables, WalksEightEntriesDownAndDropsTheNinth) {
    const int home = 20;
    for (int i = 0; i < 9; ++i) store(keyAt(home, 100 + i), i + 1, i, 1);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(transTable[home - i].move, i + 1);
    EXPECT_EQ(transTable[home - 8].keyLow, 0u);
    EXPECT_EQ(transTable[home + 1].keyLow, 0u);

    HashEntry entry;
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(probe(keyAt(home, 100 + i), entry)) << i;
    EXPECT_FALSE(probe(keyAt(home, 108), entry));
}

TEST_F(HashTables, NeverUsesEntryZeroNorWrapsAround) {
    HashEntry entry;
    store(keyAt(0, 5), 1, 1, 1);
    EXPECT_FALSE(probe(keyAt(0, 5), entry));
    EXPECT_EQ(transTable[0].keyLow, 0u);
    EXPECT_EQ(transTable[HashEntries - 1].keyLow, 0u);

    // Home index 3 has the entries 3, 2 and 1 only.
    for (int i = 0; i < 4; ++i) store(keyAt(3, 10 + i), i + 1, 0, 1);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(probe(keyAt(3, 10 + i), entry));
    EXPECT_FALSE(probe(keyAt(3, 13), entry));
    EXPECT_EQ(transTable[0].keyLow, 0u);
}

TEST_F(HashTables, ProbeStopsAtAnEmptyEntry) {
    // A stray entry below a gap is not reached: nothing of one key lies below an empty entry.
    transTable[49] = HashEntry{static_cast<std::uint32_t>(keyAt(50, 9)),
                               static_cast<std::uint32_t>(keyAt(50, 9) >> 32), 1, 0, 1, 0};
    HashEntry entry;
    EXPECT_FALSE(probe(keyAt(50, 9), entry));
}

TEST_F(HashTables, ClearingEmptiesTheTableAndTheKillers) {
    store(keyAt(77, 3), 5, 5, 5);
    rewardBestMove(White, Move{12 * 64 + 28, Pawn, 0, 0}, 2);
    rewardBestMove(Black, Move{35 * 64 + 28, Knight, Pawn, 0}, 2);
    ASSERT_NE(quietKiller(White), 0u);
    ASSERT_NE(captureKiller(Black), 0u);
    clearTables();
    HashEntry entry;
    EXPECT_FALSE(probe(keyAt(77, 3), entry));
    for (int colour = White; colour <= Black; ++colour) {
        EXPECT_EQ(captureKiller(colour), 0u);
        EXPECT_EQ(quietKiller(colour), 0u);
    }
}

TEST_F(HashTables, KillersFollowTheHistoryCounts) {
    const Move quietA{12 * 64 + 28, Pawn, 0, 0};     // e2e4
    const Move quietB{6 * 64 + 21, Knight, 0, 0};    // g1f3
    const Move capture{21 * 64 + 36, Knight, 1, 0};  // f3xe5

    rewardBestMove(White, quietA, 1);  // the first reward always sets the killer
    EXPECT_EQ(quietKiller(White), quietA.fromTo);
    EXPECT_EQ(historyTable[White][quietA.fromTo], 2u);
    EXPECT_EQ(captureKiller(White), 0u);
    EXPECT_EQ(quietKiller(Black), 0u);

    rewardBestMove(White, quietB, 1);  // equal counts: the old killer stays
    EXPECT_EQ(quietKiller(White), quietA.fromTo);
    rewardBestMove(White, quietB, 0);  // 3 against 2
    EXPECT_EQ(quietKiller(White), quietB.fromTo);

    rewardBestMove(White, capture, 0);  // a capture only competes for the capture killer
    EXPECT_EQ(captureKiller(White), capture.fromTo);
    EXPECT_EQ(quietKiller(White), quietB.fromTo);
}
