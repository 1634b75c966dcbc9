// EngineSearch: the think it runs is thinkMove's, its progress and stop work from another
// thread, and an infinite think ends only by a stop.
#include "engine/enginesearch.h"

#include <thread>

#include "book/book.h"
#include "engine/search.h"
#include "engine_fixture.h"
#include "records/san.h"

namespace {

constexpr const char* Middlegame = "r1bq1rk1/pp1nbppp/2p1pn2/3p4/2PP4/2NBPN2/PPQ2PPP/R1B2RK1 w - -";
constexpr ThinkLimits FixedDepth4 = {NoTimeLimit, NoTimeLimit, 4, false, nullptr};

class EngineSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        setBookPath((::testing::TempDir() + "no-such-book.dat").c_str());
        setFen(Middlegame);
    }
    void TearDown() override { setupStartBoard(); }
};

}  // namespace

TEST_F(EngineSearchTest, AnswersWhatThinkMoveAnswersAndKeepsTheLastIteration) {
    Move      expected{};
    const int score = thinkMove(White, &expected, FixedDepth4);
    const std::uint64_t nodes = searchNodes;

    EngineSearch search(board, FixedDepth4, false);
    EngineResult result;
    std::thread  worker([&] { result = search.run(); });
    worker.join();
    EXPECT_EQ(result.move.fromTo, expected.fromTo);
    EXPECT_EQ(result.score, score);
    EXPECT_EQ(result.depth, 4);
    EXPECT_FALSE(result.fromBook);
    EXPECT_EQ(result.nodes, nodes);

    const EngineProgress progress = search.progress();  // the worker's, read here
    EXPECT_EQ(progress.depth, 4);
    EXPECT_EQ(progress.best.fromTo, expected.fromTo);
    EXPECT_EQ(progress.nodes, nodes);
    char san[8] = {};
    ASSERT_TRUE(moveToSan(expected, san));
    EXPECT_STREQ(progress.bestSan, san);
}

TEST_F(EngineSearchTest, AnInfiniteThinkEndsByAStopFromAnotherThread) {
    EngineSearch search(board, FixedDepth4, true);  // infinite: no time limit, all depths
    search.requestStop();
    EXPECT_TRUE(search.stopRequested());
    EngineResult result;
    std::thread  worker([&] {
        result = search.run();
        search.waitForStop();  // asked already: returns at once
    });
    worker.join();
    EXPECT_LE(result.nodes, std::uint64_t{PollInterval} + 2) << "stopped at its first poll";
    EXPECT_NE(result.move.fromTo, 0) << "a stopped think still names a move";

    // Started unstopped, it searches until it is stopped, whatever its depth limit says.
    ThinkLimits deep = FixedDepth4;
    deep.maxDepth    = MaxSearchDepth;
    EngineSearch endless(board, deep, true);
    std::thread  runner([&] {
        result = endless.run();
        endless.waitForStop();
    });
    while (endless.progress().depth < 2) std::this_thread::yield();
    endless.requestStop();
    runner.join();
    EXPECT_GE(result.depth, 2);
    EXPECT_NE(result.move.fromTo, 0);
}
