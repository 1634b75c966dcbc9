#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "book/bookbuild.h"
#include "engine/makemove.h"
#include "records/san.h"
#include "tests/common/playsan.h"

namespace {

// A game's moves from a SAN line, ended by an empty record as in the current game's list.
std::vector<Move> sanLine(const std::string& line) {
    std::vector<Move> moves;
    EXPECT_TRUE(readSanLine(line, moves)) << line;
    moves.push_back(Move{});
    return moves;
}

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint64_t word(const std::vector<unsigned char>& bytes, std::size_t at, int size) {
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[at + i];
    return value;
}

// One file per process: the tests run in parallel, each test in a process of its own.
const std::string bookFile =
    ::testing::TempDir() + "norvane-test-book-" + std::to_string(getpid()) + ".dat";

}  // namespace

TEST(BookBuild, RecordsHoldTheMostPlayedMovesFirst) {
    BookCollection book;
    const char*    games[] = {"e4 e5 Nf3", "d4 d5", "e4 c5", "c4", "Nf3", "d4 Nf6", "e4 e5 Bc4", "g3"};
    for (const char* game : games) {
        const std::vector<Move> moves = sanLine(game);
        addGameToBook(book, moves.data(), static_cast<int>(moves.size()), 20);
    }
    const BookWriteResult result = writeBook(book, bookFile.c_str());
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.skipped, 0u);
    EXPECT_EQ(result.positions, 4u);  // the start, 1.e4, 1.e4 e5 and 1.d4 have moves

    const std::vector<unsigned char> bytes = readFile(bookFile);
    ASSERT_EQ(bytes.size(), 1'048'816u);
    setupStartPosition();
    const std::size_t at = (board.hashKey & 0xFFFF) * 16;
    EXPECT_EQ(word(bytes, at, 4), board.hashKey & 0xFFFFFFFF);
    EXPECT_EQ(word(bytes, at + 4, 4), board.hashKey >> 32);
    // e4 three times, d4 twice; then c4, Nf3 (first seen before g3, which is dropped).
    EXPECT_EQ(word(bytes, at + 8, 2), 12u * 64 + 28);
    EXPECT_EQ(word(bytes, at + 10, 2), 11u * 64 + 27);
    EXPECT_EQ(word(bytes, at + 12, 2), 10u * 64 + 26);
    EXPECT_EQ(word(bytes, at + 14, 2), 6u * 64 + 21);
    std::remove(bookFile.c_str());
}

TEST(BookBuild, FullWindowsSkipTheLeastPlayedPositions) {
    BookCollection book;
    // Seventeen keys sharing their home slot 0x1234: the sixteen most played fill the window.
    for (std::uint32_t i = 0; i < 17; ++i) {
        BookCollection::Position& position = book.positions[(std::uint64_t{i + 1} << 32) | 0x00AB1234];
        position.moves.push_back({12 * 64 + 28, 1});
        position.total = 100 - i;
    }
    const BookWriteResult result = writeBook(book, bookFile.c_str());
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.positions, 16u);
    EXPECT_EQ(result.skipped, 1u);
    const std::vector<unsigned char> bytes = readFile(bookFile);
    for (std::size_t slot = 0; slot < 16; ++slot)
        EXPECT_EQ(word(bytes, (0x1234 + slot) * 16 + 4, 4), slot + 1) << slot;
    std::remove(bookFile.c_str());
}

TEST(BookBuild, StopsAtUnderpromotionsAndReportsWriteFailures) {
    BookCollection book;
    std::vector<Move> moves = sanLine("e4 d5");
    moves[1].flags = static_cast<std::uint16_t>((moves[1].flags & ~PromotionMask) | (Knight << 12));
    addGameToBook(book, moves.data(), static_cast<int>(moves.size()), 20);
    EXPECT_EQ(book.positions.size(), 1u);  // only the initial position before 1.e4

    const BookWriteResult result = writeBook(book, "/nonexistent-dir/book.dat");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("/nonexistent-dir/book.dat"), std::string::npos);
}
