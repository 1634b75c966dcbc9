// Speed of the evaluation and of a fixed-depth search, no book and no clock stop.
// norvane-cli bench gives the node signature; this gives the time per call.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "engine/attacks.h"
#include "engine/eval.h"
#include "engine/fensetup.h"
#include "engine/search.h"
#include "engine/think.h"

namespace {

const char* const middlegame = "r1bq1rk1/pp1nbppp/2p1pn2/3p4/2PP4/2NBPN2/PPQ2PPP/R1B2RK1 w - - 0 9";

void setUp(const char* fen) {
    char error[128];
    if (!setupFromFen(fen, error, sizeof error)) std::abort();
}

void evaluateMiddlegame(benchmark::State& state) {
    setUp(middlegame);
    for (auto _ : state) benchmark::DoNotOptimize(evaluate(White, -MateScore, MateScore));
}
BENCHMARK(evaluateMiddlegame);

void searchMiddlegame(benchmark::State& state) {
    setUp(middlegame);
    const ThinkLimits limits = {NoTimeLimit, NoTimeLimit, static_cast<int>(state.range(0)), false,
                                nullptr};
    std::uint64_t     nodes  = 0;
    for (auto _ : state) {
        Move move{};
        benchmark::DoNotOptimize(thinkMove(White, &move, limits));
        nodes += searchNodes;
    }
    state.counters["nps"] = benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
}
BENCHMARK(searchMiddlegame)->Arg(4)->Arg(5)->Arg(6)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    initEngine();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
