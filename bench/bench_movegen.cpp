// Move generation and make/unmake speed: perft leaves per second from the initial position
// and from a position rich in castling, captures and promotions, and make/unmake pairs.
#include <benchmark/benchmark.h>

#include "engine/attacks.h"
#include "engine/fensetup.h"
#include "engine/makemove.h"
#include "engine/movegen.h"
#include "engine/perft.h"

namespace {

void setPosition(const char* fen) {
    char error[128];
    if (!setupFromFen(fen, error, sizeof error)) std::abort();
}

void perftFrom(benchmark::State& state, const char* fen, int depth) {
    setPosition(fen);
    std::uint64_t leaves = 0;
    for (auto _ : state) leaves += perft(depth);
    state.counters["leaves/s"] = benchmark::Counter(static_cast<double>(leaves), benchmark::Counter::kIsRate);
}

void BM_PerftStart(benchmark::State& state) {
    perftFrom(state, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", 5);
}
BENCHMARK(BM_PerftStart)->Unit(benchmark::kMillisecond);

void BM_PerftKiwipete(benchmark::State& state) {
    perftFrom(state, "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -", 4);
}
BENCHMARK(BM_PerftKiwipete)->Unit(benchmark::kMillisecond);

// Every pseudo-legal move of a middlegame position made and unmade.
void BM_MakeUnmake(benchmark::State& state) {
    setPosition("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -");
    Move        moves[512];
    Move* const end   = genAllMoves(board.sideToMove, moves);
    std::int64_t pairs = 0;
    for (auto _ : state) {
        for (Move* m = moves; m != end; ++m) {
            makeMove(*m);
            unmakeMove(*m);
        }
        benchmark::DoNotOptimize(board.hashKey);
        pairs += end - moves;
    }
    state.counters["pairs/s"] = benchmark::Counter(static_cast<double>(pairs), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MakeUnmake);

}  // namespace

int main(int argc, char** argv) {
    initEngine();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
