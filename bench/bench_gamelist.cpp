// The game list's sort on a million games, by each column, as a header click runs it.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/syntheticgames.h"
#include "records/gamefilter.h"

namespace {

const SyntheticIndex& millionGames() {
    static const SyntheticIndex index = syntheticGames(1'000'000);
    return index;
}

void BM_SortMillionRows(benchmark::State& state) {
    const SyntheticIndex&         index = millionGames();
    std::vector<const GameEntry*> rows;
    for (auto _ : state) {
        state.PauseTiming();
        rows.clear();
        for (const GameEntry& e : index.games) rows.push_back(&e);
        state.ResumeTiming();
        sortRows(rows, index.names, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(rows.data());
    }
}
BENCHMARK(BM_SortMillionRows)->DenseRange(0, ColumnCount - 1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
