#include "book/book.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "engine/coords.h"
#include "engine/fensetup.h"
#include "engine/makemove.h"
#include "engine/perft.h"
#include "engine/search.h"
#include "engine/think.h"

namespace {

int packed(const char* coords) {
    return ((coords[1] - '1') * 8 + coords[0] - 'a') * 64 + (coords[3] - '1') * 8 + coords[2] - 'a';
}

// A book file written record by record: slot index, key and up to four moves.
class BookFile {
public:
    void put(long slot, std::uint64_t key, std::vector<int> moves) {
        const std::size_t end = static_cast<std::size_t>(slot + 1) * BookRecordSize;
        if (m_bytes.size() < end) m_bytes.resize(end, 0);
        unsigned char* r = m_bytes.data() + slot * BookRecordSize;
        for (int i = 0; i < 8; ++i) r[i] = static_cast<unsigned char>(key >> (8 * i));
        for (std::size_t i = 0; i < moves.size(); ++i) {
            r[8 + 2 * i] = static_cast<unsigned char>(moves[i]);
            r[9 + 2 * i] = static_cast<unsigned char>(moves[i] >> 8);
        }
    }
    // Cuts the file to size bytes.
    void truncate(std::size_t size) { m_bytes.resize(size); }
    std::size_t size() const { return m_bytes.size(); }
    // Writes the file and points the book at it.
    void install() const {
        // One file per process: CTest runs the tests of this program side by side.
        const std::string path =
            ::testing::TempDir() + "norvane-test-book-" + std::to_string(getpid()) + ".dat";
        FILE*             f    = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        if (!m_bytes.empty()) std::fwrite(m_bytes.data(), 1, m_bytes.size(), f);
        std::fclose(f);
        setBookPath(path.c_str());
    }

private:
    std::vector<unsigned char> m_bytes;
};

void start(const char* fen = nullptr) {
    if (!fen) {
        setupStartPosition();
        return;
    }
    char error[128];
    ASSERT_TRUE(setupFromFen(fen, error, sizeof error)) << error;
}

long homeSlot() { return static_cast<long>(board.hashKey & 0xFFFF); }

std::string probeText() {
    const Board before = board;
    Move        move{};
    const bool  found = probeBook(board.sideToMove, &move);
    EXPECT_TRUE(board == before);
    if (!found) return "none";
    char text[8];
    moveToCoords(move, text);
    return text;
}

}  // namespace

TEST(ProbeBook, FindsTheRecordAnywhereInItsWindow) {
    start();
    const std::uint64_t key  = board.hashKey;
    const long          home = homeSlot();
    struct Case {
        const char* what;
        long        slot;
        bool        found;
    } cases[] = {{"home slot", home, true},
                 {"last slot of the window", home + 15, true},
                 {"just past the window", home + 16, false},
                 {"just before the home slot", home - 1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BookFile book;
        book.put(c.slot, key, {packed("e2e4")});
        book.install();
        EXPECT_EQ(probeText(), c.found ? "e2e4" : "none");
    }
}

TEST(ProbeBook, TakesTheFirstRecordWithTheWholeKey) {
    start();
    const std::uint64_t key  = board.hashKey;
    const long          home = homeSlot();
    BookFile            book;
    book.put(home, key ^ (std::uint64_t{1} << 40), {packed("a2a3")});  // same window, other key
    book.put(home + 1, key ^ 0x10000, {packed("b2b3")});                // low word differs
    book.put(home + 2, key, {packed("d2d4")});
    book.put(home + 3, key, {packed("c2c4")});
    book.install();
    EXPECT_EQ(probeText(), "d2d4");
}

TEST(ProbeBook, RefusesWhatCannotBePlayed) {
    start("4k3/8/8/8/8/8/8/r2RK3 w - -");  // the d1 rook is pinned by the a1 rook
    const std::uint64_t key  = board.hashKey;
    const long          home = homeSlot();
    struct Case {
        const char*      what;
        std::vector<int> moves;
        const char*      expected;
    } cases[] = {
        {"no moves", {}, "none"},
        {"moves not packed from slot 0", {0, packed("e1e2")}, "none"},
        {"not a move of this position", {packed("e2e4")}, "none"},
        {"leaves the king in check", {packed("d1d8")}, "none"},
        {"a legal move", {packed("d1a1")}, "d1a1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BookFile book;
        book.put(home, key, c.moves);
        book.install();
        EXPECT_EQ(probeText(), c.expected);
    }
}

TEST(ProbeBook, PawnToTheLastRankIsAQueenPromotion) {
    start("8/4P3/8/8/8/2k5/8/4K3 w - -");
    BookFile book;
    book.put(homeSlot(), board.hashKey, {packed("e7e8")});
    book.install();
    EXPECT_EQ(probeText(), "e7e8q");
}

TEST(ProbeBook, DrawsAmongTheRecordsMoves) {
    start();
    BookFile book;
    book.put(homeSlot(), board.hashKey,
             {packed("e2e4"), packed("d2d4"), packed("c2c4"), packed("g1f3")});
    book.install();
    std::srand(7);
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) seen.insert(probeText());
    EXPECT_EQ(seen, (std::set<std::string>{"c2c4", "d2d4", "e2e4", "g1f3"}));
}

TEST(ProbeBook, ShortMissingOrEmptyFilesGiveNothing) {
    start();
    const std::uint64_t key  = board.hashKey;
    const long          home = homeSlot();

    BookFile book;
    book.put(home + 1, key, {packed("e2e4")});
    book.install();
    EXPECT_EQ(probeText(), "e2e4") << "the file ends inside the window";
    book.truncate(book.size() - 1);  // the fourth slot loses a byte: the record stays usable
    book.install();
    EXPECT_EQ(probeText(), "e2e4");
    book.truncate(book.size() - 8);  // the key is cut
    book.install();
    EXPECT_EQ(probeText(), "none");
    book.truncate(5);
    book.install();
    EXPECT_EQ(probeText(), "none");
    book.truncate(0);
    book.install();
    EXPECT_EQ(probeText(), "none");

    setBookPath((::testing::TempDir() + "no-such-dir/book.dat").c_str());
    EXPECT_EQ(probeText(), "none");
    setBookPath(::testing::TempDir().c_str());  // a directory
    EXPECT_EQ(probeText(), "none");
}

TEST(ThinkWithBook, PlaysTheBookMoveWithoutSearching) {
    start();
    BookFile book;
    book.put(homeSlot(), board.hashKey, {packed("g1f3")});
    book.install();
    const Board before = board;
    Move        move{};
    EXPECT_EQ(thinkMove(White, &move), 0);
    EXPECT_TRUE(thinkFromBook);
    EXPECT_EQ(searchNodes, 0u);
    EXPECT_EQ(move.fromTo, packed("g1f3"));
    EXPECT_TRUE(board == before);
}

TEST(ThinkWithBook, SearchesWhenTheBookMoveIsUnusable) {
    start("6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -");
    BookFile book;
    book.put(homeSlot(), board.hashKey, {packed("e2e4")});  // no pawn on e2: a key collision
    book.install();
    const Board before = board;
    Move        move{};
    EXPECT_EQ(thinkMove(White, &move), MateScore);
    EXPECT_FALSE(thinkFromBook);
    EXPECT_EQ(move.fromTo, packed("d1d8"));
    EXPECT_TRUE(board == before);
}
