// The game list's sort on a million games, by each column, as a header click runs it.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/syntheticgames.h"
#include "records/gamefilter.h"

namespace {

const std::vector<GameEntry>& millionGames() {
    static const std::vector<GameEntry> games = syntheticGames(1'000'000);
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
