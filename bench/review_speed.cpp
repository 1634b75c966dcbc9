// The game review's speed with a UCI engine: one game on 1 and 2 threads against the sum of
// its positions' search times (the parallel efficiency), the time until the first move is
// judged, and a file's games spread over 1 and 2 threads with one engine each.
//
//   review_speed ENGINE FILE FIRST COUNT (nodes N | depth D) [THREADS...]
//
// reviews game FIRST alone (COUNT 1: its positions shared among the threads) or games
// FIRST..FIRST+COUNT-1 as a batch (whole games to the threads, one engine each), on each number
// of threads given (1 2 by default). Run by bench/review-speed.sh.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "engine/attacks.h"
#include "records/bufferedfile.h"
#include "records/gameindex.h"
#include "records/indexpass.h"
#include "records/pgnread.h"
#include "records/playernames.h"
#include "review/reviewer.h"

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::int64_t searchMsOf(const GameReview& review) {
    std::int64_t sum = 0;
    for (const ReviewedPosition& position : review.positions)
        sum += position.searchMs;
    return sum;
}

[[noreturn]] void quit(const std::string& why) {
    std::fprintf(stderr, "review_speed: %s\n", why.c_str());
    std::exit(2);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 7)
        quit("usage: review_speed ENGINE FILE FIRST COUNT (nodes N | depth D) [THREADS...]");
    initEngine();
    ReviewSettings settings;
    settings.engine.program = argv[1];
    settings.engine.title   = argv[1];
    settings.searchWaitMs   = 10 * 60 * 1000;
    const std::size_t first = std::strtoull(argv[3], nullptr, 10);
    const std::size_t count = std::strtoull(argv[4], nullptr, 10);
    const std::string kind  = argv[5];
    (kind == "depth" ? settings.limits.depth : settings.limits.nodes) = std::atoll(argv[6]);
    std::vector<int> threadCounts;
    for (int i = 7; i < argc; ++i)
        threadCounts.push_back(std::atoi(argv[i]));
    if (threadCounts.empty()) threadCounts = {1, 2};

    BufferedFile           file;
    FileInfo               info{};
    std::vector<GameEntry> entries;
    PlayerNames            names;
    if (!file.open(argv[2]) || !indexFile(file, info, entries, names, nullptr))
        quit(std::string("cannot read ") + argv[2]);
    std::vector<ReviewGameInput> games;
    for (std::size_t k = first; k < first + count && k < entries.size(); ++k) {
        std::string     text;
        ReviewGameInput game;
        if (readGameText(file, &entries[k], text) && parseGameText(text.c_str(), text.size()) &&
            currentGameForReview(game))
            games.push_back(std::move(game));
    }
    if (games.empty()) quit("no game to review");
    std::size_t positions = 0;
    for (const ReviewGameInput& game : games)
        positions += game.fens.size();

    if (games.size() == 1) {
        std::printf("game %zu: %zu plies, %s %s per position\n", first, games[0].moves.size(),
                    argv[6], kind.c_str());
        for (const int threads : threadCounts) {
            settings.threads = threads;
            GameReview          review;
            std::string         error;
            std::atomic<bool>   firstSeen{false};
            double              firstMark = 0;
            const auto          start     = std::chrono::steady_clock::now();
            const ReviewOutcome outcome =
                reviewGame(games[0], settings, review, error, [&](const ReviewedMove&) {
                    if (!firstSeen.exchange(true)) firstMark = secondsSince(start);
                });
            const double wall = secondsSince(start);
            if (outcome != ReviewOutcome::Done) quit(error);
            const double sum = searchMsOf(review) / 1000.0;
            std::printf("  %d thread(s): %.2f s, positions' searches %.2f s, efficiency %.0f %%, "
                        "first mark after %.2f s\n",
                        threads, wall, sum, 100.0 * sum / (threads * wall), firstMark);
        }

        return 0;
    }
    std::printf("games %zu-%zu: %zu games, %zu positions\n", first, first + games.size() - 1,
                games.size(), positions);
    for (const int threads : threadCounts) {
        std::vector<GameReview>  reviews(games.size());
        std::atomic<std::size_t> next{0};
        std::atomic<bool>        failed{false};
        const EngineSetup        setup = reviewEngineSetup(settings.engine);
        const auto               start = std::chrono::steady_clock::now();
        std::vector<std::thread> pool;
        for (int t = 0; t < threads; ++t)
            pool.emplace_back([&] {
                EngineSession session;
                std::string   error;
                if (!session.open(setup, error)) {
                    failed = true;
                    return;
                }
                for (std::size_t k; (k = next.fetch_add(1)) < games.size();)
                    if (reviewGameWith(session, games[k], settings, reviews[k], error) !=
                        ReviewOutcome::Done)
                        failed = true;
            });
        for (std::thread& thread : pool)
            thread.join();
        const double wall = secondsSince(start);
        if (failed) quit("the engine failed");
        std::int64_t sumMs = 0;
        for (const GameReview& review : reviews)
            sumMs += searchMsOf(review);
        const double sum = sumMs / 1000.0;
        std::printf("  %d thread(s): %.2f s, positions' searches %.2f s, efficiency %.0f %%\n",
                    threads, wall, sum, 100.0 * sum / (threads * wall));
    }
    return 0;
}
