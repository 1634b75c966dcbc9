// A player's record on the large file of bench/pgn-vs-peer.sh (NORVANE_BIG_PGN, else
// /tmp/norvane-bench/big-80.pgn): the record of the file's most frequent player from the index
// in memory, as 選手情報 and norvane-cli player compute it, and the look-up of the names
// holding a text that 選手情報 makes first. The index pass itself is not timed.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "records/indexpass.h"
#include "records/playerrecord.h"

namespace {

struct BigIndex {
    BufferedFile           file;
    FileInfo               info{};
    std::vector<GameEntry> games;
    PlayerNames            names;
    std::string            player; // the most frequent player
    bool                   ready = false;
};

BigIndex& bigIndex() {
    static BigIndex index;
    if (index.ready || !index.games.empty()) return index;
    const char*       env  = std::getenv("NORVANE_BIG_PGN");
    const std::string path = env ? env : "/tmp/norvane-bench/big-80.pgn";
    if (!index.file.open(path.c_str()) ||
        !indexFile(index.file, index.info, index.games, index.names))
        return index;
    const std::vector<PlayerCount> players = playersMatching(index.games, index.names, "", 1);
    if (players.empty()) return index;
    index.player = std::string(index.names.name(players.front().name));
    index.ready  = true;
    std::printf("%s: %zu games; most frequent player \"%s\", %d games\n", path.c_str(),
                index.games.size(), index.player.c_str(), players.front().games);
    return index;
}

void BM_PlayerRecordOfTheMostFrequentPlayer(benchmark::State& state) {
    BigIndex& index = bigIndex();
    if (!index.ready) {
        state.SkipWithError("no large file: run bench/pgn-vs-peer.sh once, or set NORVANE_BIG_PGN");
        return;
    }
    for (auto _ : state) {
        const PlayerRecord record = playerRecord(index.games, index.names, index.player);
        benchmark::DoNotOptimize(record.all.games);
    }
}
BENCHMARK(BM_PlayerRecordOfTheMostFrequentPlayer)->Unit(benchmark::kMillisecond);

void BM_PlayersHoldingASurname(benchmark::State& state) {
    BigIndex& index = bigIndex();
    if (!index.ready) {
        state.SkipWithError("no large file");
        return;
    }
    const std::string surname = index.player.substr(0, index.player.find_first_of(", "));
    for (auto _ : state) {
        const auto players = playersMatching(index.games, index.names, surname);
        benchmark::DoNotOptimize(players.data());
    }
}
BENCHMARK(BM_PlayersHoldingASurname)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
