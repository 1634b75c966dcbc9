// The opening explorer: building it over a PGN file and answering one position (the Najdorf,
// 1.e4 c5 2.Nf3 d6 3.d4 cxd4 4.Nxd4 Nf6 5.Nc3 a6). The file is NORVANE_TREE_FILE, by default
// tests/data/twic944.pgn from the folder it runs in; bench/tree-vs-position-pass.sh points it at
// the large file.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "engine/attacks.h"
#include "records/openingtree.h"
#include "tests/common/playsan.h"

namespace {

std::string treeFile() {
    const char* file = std::getenv("NORVANE_TREE_FILE");
    return file ? file : "tests/data/twic944.pgn";
}

OpeningTree& builtTree() {
    static OpeningTree tree;
    if (tree.positionCount() == 0) tree.build(treeFile().c_str());
    return tree;
}

void BM_TreeBuild(benchmark::State& state) {
    OpeningTree tree;
    for (auto _ : state)
        tree.build(treeFile().c_str());
    state.counters["games"]     = static_cast<double>(tree.gameCount());
    state.counters["positions"] = static_cast<double>(tree.positionCount());
    state.counters["memory_MB"] = static_cast<double>(tree.memoryBytes()) / 1e6;
}
BENCHMARK(BM_TreeBuild)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_TreeAnswerNajdorf(benchmark::State& state) {
    const OpeningTree& tree = builtTree();
    playSan("e4 c5 Nf3 d6 d4 cxd4 Nxd4 Nf6 Nc3 a6");
    for (auto _ : state)
        benchmark::DoNotOptimize(tree.answer());
}
BENCHMARK(BM_TreeAnswerNajdorf)->Unit(benchmark::kMicrosecond);

void BM_TreeAnswerStart(benchmark::State& state) {
    const OpeningTree& tree = builtTree();
    setupStartPosition();
    for (auto _ : state)
        benchmark::DoNotOptimize(tree.answer());
}
BENCHMARK(BM_TreeAnswerStart)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    initEngine();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
