// Engine lines read into SAN with move numbers: the side that moves first, a line cut where it
// stops being legal, a position that cannot be read, and the caller's Board left alone.
#include <gtest/gtest.h>

#include "engine/board.h"
#include "uci/pvsan.h"

namespace {

struct LineCase {
    const char*              fen;
    std::vector<std::string> played, pv;
    const char*              numbered;
};

TEST(PvSan, LinesAreNumberedFromTheirPosition) {
    const LineCase cases[] = {
        {"", {}, {"e2e4", "e7e5", "g1f3"}, "1. e4 e5 2. Nf3"},
        {"", {"e2e4"}, {"e7e5", "g1f3"}, "1... e5 2. Nf3"},
        {"r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3", {},
         {"f1b5", "a7a6"}, "3. Bb5 a6"},
        // Legal as far as d2d4; the knight move after it is not, so the line ends there.
        {"", {}, {"d2d4", "g1f3", "e7e5"}, "1. d4"},
        {"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 40", {}, {"a1a8"}, "40. Ra8#"},
        {"8/P7/8/8/8/8/8/k1K5 w - - 0 60", {}, {"a7a8q", "a1b1"}, "60. a8=Q#"},
    };
    for (const LineCase& c : cases) {
        SanLine line;
        ASSERT_TRUE(pvToSan(c.fen, c.played, c.pv, line)) << c.fen;
        EXPECT_EQ(numberedSan(line), c.numbered) << c.fen;
        EXPECT_EQ(line.san.size(), line.coords.size());
    }
}

TEST(PvSan, UnreadablePositionsAreRefusedAndTheBoardIsKept) {
    setupStartBoard();
    const Board before = board;
    SanLine     line;
    EXPECT_FALSE(pvToSan("not a position", {}, {"e2e4"}, line));
    EXPECT_FALSE(pvToSan("", {"e2e5"}, {"e7e5"}, line));
    ASSERT_TRUE(pvToSan("8/8/8/8/8/8/8/k1K5 w - - 0 1", {}, {"c1c2"}, line));
    EXPECT_EQ(board, before);
    EXPECT_EQ(numberedSan(line, 0), "");
}

}  // namespace
