// The game list's sort on a million games, by each column, as a header click runs it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <vector>

#include "records/gamefilter.h"

namespace {

const std::vector<GameEntry>& millionGames() {
    static const std::vector<GameEntry> games = [] {
        static const char* const names[] = {"Carlsen, Magnus", "Kasparov, Garry", "anand, v", "Tal, M",
                                            "Fischer, R", "Nakamura, Hikaru", "Caruana, F", "Ding, Liren"};
        std::mt19937           random(7);
        std::vector<GameEntry> list(1'000'000);
        for (GameEntry& e : list) {
            std::snprintf(e.white, sizeof e.white, "%s %u", names[random() % 8], unsigned(random() % 1000));
            std::snprintf(e.black, sizeof e.black, "%s %u", names[random() % 8], unsigned(random() % 1000));
            const int results[4] = {0, WhiteWon, BlackWon, Drawn};
            e.info  = static_cast<std::uint16_t>((random() % 501) | results[random() % 4] | Matched);
            e.moves = static_cast<std::uint16_t>(random() % 120);
            e.year  = static_cast<std::int16_t>(1850 + random() % 175);
        }
        return list;
    }();
    return games;
}

void BM_SortMillionRows(benchmark::State& state) {
    const std::vector<GameEntry>& games = millionGames();
    std::vector<const GameEntry*> rows;
    for (auto _ : state) {
        state.PauseTiming();
        rows.clear();
        for (const GameEntry& e : games) rows.push_back(&e);
        state.ResumeTiming();
        sortRows(rows, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_SortMillionRows)->DenseRange(0, ColumnCount - 1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
