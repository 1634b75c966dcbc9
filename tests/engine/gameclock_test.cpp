// The game clock driven by a hand-set time: no waiting.
#include <gtest/gtest.h>

#include "engine/gameclock.h"
#include "engine_fixture.h"

TEST(GameClock, RunsForTheSideToMoveAndAddsTheIncrement) {
    GameClock clock(TimeControl::even(5, 3));  // 5+3
    std::int64_t now = 1000;                   // any origin: only differences count
    EXPECT_EQ(clock.running(), -1);
    EXPECT_EQ(clock.untilFlag(now), -1);
    clock.start(White, now);
    now += 4200;
    EXPECT_EQ(clock.remaining(White, now), 300000 - 4200);
    EXPECT_EQ(clock.remaining(Black, now), 300000);
    EXPECT_TRUE(clock.press(now));  // White moved after 4.2 s: +3 s
    EXPECT_EQ(clock.running(), Black);
    EXPECT_EQ(clock.remaining(White, now), 300000 - 4200 + 3000);
    now += 10000;
    EXPECT_EQ(clock.remaining(Black, now), 290000);
    EXPECT_EQ(clock.remaining(White, now), 298800);  // White's stands still
    clock.stop(now);
    now += 60000;
    EXPECT_EQ(clock.remaining(Black, now), 290000);  // stopped: no time passes
    EXPECT_EQ(clock.flagFallen(now), -1);
}

TEST(GameClock, FlagFallsWhenTheTimeIsUsedUp) {
    TimeControl control;
    control.side[White] = {2000, 1000};
    control.side[Black] = {60000, 0};
    GameClock    clock(control);
    std::int64_t now = 0;
    clock.start(White, now);
    now += 1500;
    EXPECT_EQ(clock.untilFlag(now), 500);  // the desktop's timer waits this long
    EXPECT_EQ(clock.flagFallen(now), -1);
    now += 500;
    EXPECT_EQ(clock.flagFallen(now), White);
    now += 700;
    EXPECT_EQ(clock.remaining(White, now), 0);
    // A move made after the fall does not save the flag: no increment, the flag stays down.
    EXPECT_FALSE(clock.press(now));
    EXPECT_EQ(clock.remaining(White, now), 0);
    EXPECT_EQ(clock.flagFallen(now), White);
}

// The loser on time loses only when the other side could still mate.
TEST(GameClock, FlagFallLosesUnlessTheOtherSideCannotMate) {
    struct Case { const char* fen; int flagged, winner; };
    const Case cases[] = {
        {"8/8/4k3/8/8/4K3/8/Q7 b - - 0 1", Black, White},    // a queen mates
        {"8/8/4k3/8/8/4K3/8/6N1 b - - 0 1", Black, -1},      // K+N against a lone king: draw
        {"8/8/4k3/8/8/4K3/8/6N1 w - - 0 1", White, -1},      // a lone king cannot mate
        {"8/8/4k3/4p3/8/4K3/8/6N1 b - - 0 1", Black, White}, // the pawn could block its king
        {"8/8/4k3/8/8/4K3/8/2B1B3 b - - 0 1", Black, -1},    // bishops on one colour
        {"8/8/4k3/8/8/4K3/8/2B2B2 b - - 0 1", Black, White}, // on both colours
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fen);
        setFen(c.fen);
        GameClock    clock(TimeControl::even(1, 0));
        std::int64_t now = 0;
        clock.start(board.sideToMove, now);
        now += 60000;
        ASSERT_EQ(clock.flagFallen(now), c.flagged);
        EXPECT_EQ(flagFallWinner(board, c.flagged), c.winner);
    }
}

TEST(GameClock, Texts) {
    struct Case { std::int64_t ms; const char* text; const char* command; };
    const Case cases[] = {
        {300000, "5:00", "[%clk 0:05:00]"},
        {299999, "4:59", "[%clk 0:04:59]"},
        {65000, "1:05", "[%clk 0:01:05]"},
        {10000, "0:10", "[%clk 0:00:10]"},
        {9999, "0:09.9", "[%clk 0:00:09]"},
        {950, "0:00.9", "[%clk 0:00:00]"},
        {0, "0:00.0", "[%clk 0:00:00]"},
        {-40, "0:00.0", "[%clk 0:00:00]"},
        {3599999, "59:59", "[%clk 0:59:59]"},
        {3600000, "1:00:00", "[%clk 1:00:00]"},
        {3723000, "1:02:03", "[%clk 1:02:03]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ms);
        EXPECT_EQ(clockText(c.ms), c.text);
        EXPECT_EQ(clockCommand(c.ms), c.command);
    }
}

TEST(GameClock, TimeControlTags) {
    using Tags = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(timeControlTags(TimeControl{}), Tags{});
    EXPECT_EQ(timeControlTags(TimeControl::even(5, 0)), (Tags{{"TimeControl", "300"}}));
    EXPECT_EQ(timeControlTags(TimeControl::even(15, 10)), (Tags{{"TimeControl", "900+10"}}));
    TimeControl odds = TimeControl::even(5, 3);
    odds.side[Black] = {180000, 2000};
    EXPECT_EQ(timeControlTags(odds), (Tags{{"TimeControl", "?"},
                                           {"WhiteTimeControl", "300+3"},
                                           {"BlackTimeControl", "180+2"}}));
}
