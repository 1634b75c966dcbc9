// A search on one thread and the SAN, mate checks and move generation of another share no
// state: the search's result is the one it gives alone, the other thread's answers are right
// throughout, and a stop sent to one search never ends another. ThreadSanitizer runs these
// (make test-tsan), so a write that two threads share is reported even when it changes nothing.
#include <atomic>
#include <thread>

#include "engine/movegen.h"
#include "engine/perft.h"
#include "engine/search.h"
#include "engine/think.h"
#include "engine_fixture.h"
#include "records/san.h"

namespace {

constexpr const char* SearchedFen = "r1bq1rk1/pp1nbppp/2p1pn2/3p4/2PP4/2NBPN2/PPQ2PPP/R1B2RK1 w - -";
constexpr ThinkLimits FixedDepth5 = {NoTimeLimit, NoTimeLimit, 5, false, nullptr};

struct SearchOutcome {
    Move          move{};
    int           score = 0;
    std::uint64_t nodes = 0;
};

// Searches SearchedFen on the calling thread's own Board, leaving that Board as it was.
SearchOutcome searchOnThisThread(const ThinkLimits& limits) {
    const Board   kept = board;
    char          error[128];
    SearchOutcome outcome;
    EXPECT_TRUE(setupBoardFromFen(SearchedFen, error, sizeof error)) << error;
    outcome.score = searchBestMove(board.sideToMove, &outcome.move, limits);
    outcome.nodes = searchNodes;
    board         = kept;
    return outcome;
}

// SAN with each kind of suffix: mateStatus runs for the checks, on this thread's move lists.
struct SanCase {
    const char* fen;
    const char* coords;
    const char* san;
};
constexpr SanCase sanCases[] = {
    {"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -", "d1d8", "Rd8#"},
    {"6k1/5pp1/8/8/8/8/5PPP/3R2K1 w - -", "d1d8", "Rd8+"},
    {"3k4/8/8/8/8/8/8/R3K3 w Q -", "e1c1", "O-O-O+"},
    {"7k/5Q2/8/8/8/8/8/K7 w - -", "f7g6", "Qg6"},
};

}  // namespace

TEST(ConcurrentSearch, SanMateChecksAndGenerationBesideARunningSearch) {
    const SearchOutcome alone = searchOnThisThread(FixedDepth5);

    std::atomic<bool> searching{true};
    SearchOutcome     beside;
    std::thread       worker([&] {
        beside = searchOnThisThread(FixedDepth5);
        searching.store(false);
    });
    int rounds = 0;
    do {
        for (const SanCase& c : sanCases) {
            char error[128];
            ASSERT_TRUE(setupBoardFromFen(c.fen, error, sizeof error)) << error;
            Move move{};
            ASSERT_TRUE(coordsToMove(c.coords, &move)) << c.coords;
            char san[8] = {};
            ASSERT_TRUE(moveToSan(move, san));
            ASSERT_STREQ(san, c.san);
            Move moves[MaxMovesPerPly];
            ASSERT_GT(genLegalMoves(moves) - moves, 0);
        }
        ++rounds;
    } while (searching.load() || rounds < 50);
    worker.join();

    EXPECT_EQ(beside.move.fromTo, alone.move.fromTo);
    EXPECT_EQ(beside.score, alone.score);
    EXPECT_EQ(beside.nodes, alone.nodes);
}

TEST(ConcurrentSearch, AStopSentToOneSearchLeavesAnotherAlone) {
    const SearchOutcome alone = searchOnThisThread(FixedDepth5);

    // The stopped search's request is set before either starts: a search that read it would
    // end at its first look at the clock.
    std::atomic<bool> stopFirst{true}, stopSecond{false};
    SearchOutcome     stopped, kept;
    std::thread       first([&] {
        const StopSignalScope scope(stopFirst);
        stopped = searchOnThisThread({NoTimeLimit, NoTimeLimit, MaxSearchDepth, false, nullptr});
    });
    std::thread second([&] {
        const StopSignalScope scope(stopSecond);
        kept = searchOnThisThread(FixedDepth5);
    });
    first.join();
    second.join();

    EXPECT_LE(stopped.nodes, std::uint64_t{PollInterval} + 2) << "stopped at its first poll";
    EXPECT_EQ(kept.move.fromTo, alone.move.fromTo);
    EXPECT_EQ(kept.nodes, alone.nodes);
    EXPECT_FALSE(stopIsRequested()) << "this thread has no stop request of its own";
}
