// The index pass's grammar alone, in memory: the reference machine (runPgn<IndexPass>) and the
// fast one (runPassFast<IndexPass>) side by side over the same text, fed in 1 MB pieces as the file
// reader feeds them. The text, about 80 MB, is the valid files of tests/data written 20 times
// over, as bench/pgn-vs-peer.sh builds its file, so the figures leave the disk out. Then the
// whole index pass on one thread (the grammar and the entries it makes: names, dates, ratings)
// over the same text written to a file, read from the page cache.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "records/indexpass.h"
#include "records/passthreads.h"

#include "records/pgnfastindex.h"
#include "records/pgngrammar.h"

namespace {

const std::string& bigText() {
    static const std::string text = [] {
        std::string block;
        for (const char* name :
             {"twic944", "capablanca", "carlsen-chesscom", "kasparov-deep-blue-1997",
              "chess-informant-sample", "lichess-annotated", "chessbase-empty-line"}) {
            std::ifstream in(std::string(NORVANE_TEST_DATA) + "/" + name + ".pgn",
                             std::ios::binary);
            if (!in) std::abort();
            block.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            block += '\n';
        }
        std::string all;
        for (int i = 0; i < 20; ++i)
            all += block;
        return all;
    }();
    return text;
}

// What the pass hands the index, counted and nothing more.
struct CountingHooks {
    std::int64_t games = 0, tags = 0, tokens = 0, skipped = 0, stray = 0, lastEnd = 0;

    void gameStart(std::int64_t) {}
    void tagTaken(const PgnMachine& m) { tags += m.valueLength > 0 ? 1 : 0; }
    void movetextBegins() {}
    bool moveToken(const char*, int) {
        ++tokens;
        return true;
    }
    bool gameEnd(int, std::int64_t last, bool&) {
        ++games;
        lastEnd = last;
        return true;
    }
    void gameSkipped(std::int64_t) { ++skipped; }
    void strayByte(std::int64_t, unsigned char) { ++stray; }
};

template <bool Fast> CountingHooks indexPass(const std::string& text) {
    constexpr std::size_t piece = std::size_t{1} << 20;
    CountingHooks         hooks;
    PgnMachine            machine;
    for (std::size_t at = 0; at < text.size(); at += piece) {
        const char* const begin = text.data() + at;
        const char* const end   = begin + std::min(piece, text.size() - at);
        if constexpr (Fast)
            runPassFast<IndexPass>(machine, begin, end, static_cast<std::int64_t>(at), hooks);
        else
            runPgn<IndexPass>(machine, begin, end, static_cast<std::int64_t>(at), hooks);
    }
    finishPgn<IndexPass>(machine, static_cast<std::int64_t>(text.size()), hooks);
    return hooks;
}

template <bool Fast> void BM_IndexPass(benchmark::State& state) {
    const std::string& text = bigText();
    // Both machines must see the same games before either is timed.
    const CountingHooks reference = indexPass<false>(text), fast = indexPass<true>(text);
    if (reference.games != fast.games || reference.tags != fast.tags ||
        reference.tokens != fast.tokens || reference.lastEnd != fast.lastEnd)
        std::abort();
    for (auto _ : state) {
        const CountingHooks hooks = indexPass<Fast>(text);
        benchmark::DoNotOptimize(hooks.tokens);
        state.counters["games"] = static_cast<double>(hooks.games);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_IndexPass<false>)->Name("IndexPass/reference")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndexPass<true>)->Name("IndexPass/fast")->Unit(benchmark::kMillisecond);

void BM_IndexFile(benchmark::State& state) {
    const std::string path = "/tmp/norvane-bench-index-" + std::to_string(getpid()) + ".pgn";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bigText();
    }
    setPassThreads(1);
    BufferedFile file;
    if (!file.open(path.c_str())) std::abort();
    for (auto _ : state) {
        FileInfo               info{};
        std::vector<GameEntry> games;
        PlayerNames            names;
        if (!indexFile(file, info, games, names)) std::abort();
        benchmark::DoNotOptimize(games.data());
        state.counters["games"] = static_cast<double>(games.size());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bigText().size()));
    file.close();
    std::remove(path.c_str());
}
// The pass runs on a worker thread: the wall clock is its measure.
BENCHMARK(BM_IndexFile)->Name("IndexPass/whole-one-thread")->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
