// Opening a large PGN file in the document: the index pass alone, and the whole open (index
// pass, first game loaded, views told). The file, about 100 MB, is twic944.pgn written 40
// times over into the temporary folder on the first run and kept there; NORVANE_BENCH_FILE
// names another (the 317 MB file of bench/pgn-vs-peer.sh, say).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdlib>

#include "app/norvanedoc.h"
#include "bench/openandwait.h"
#include "records/bufferedfile.h"
#include "records/gameindex.h"
#include "records/fileplaces.h"
#include "records/indexpass.h"
#include "records/positionsearch.h"

namespace {

QString bigFile() {
    if (const char* chosen = std::getenv("NORVANE_BENCH_FILE")) return QFile::decodeName(chosen);
    const QString path = QDir::temp().filePath("norvane-bench-100mb.pgn");
    if (QFile(path).size() > 100'000'000) return path;
    QFile source(NORVANE_TEST_DATA "/twic944.pgn");
    QFile out(path);
    if (!source.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) std::abort();
    const QByteArray games = source.readAll() + "\n";
    for (int i = 0; i < 40; ++i)
        if (out.write(games) != games.size()) std::abort();
    return path;
}

void BM_IndexPass(benchmark::State& state) {
    const QByteArray path = QFile::encodeName(bigFile());
    for (auto _ : state) {
        BufferedFile           file;
        FileInfo               info{};
        std::vector<GameEntry> games;
        PlayerNames            names;
        if (!file.open(path.constData()) ||
            !indexFile(file, info, games, names))
            std::abort();
        state.counters["games"] = static_cast<double>(games.size());
    }
}
BENCHMARK(BM_IndexPass)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OpenDocument(benchmark::State& state) {
    const QString path = bigFile();
    CNorvaneDoc   doc;
    for (auto _ : state) {
        if (!openAndWait(doc, path)) std::abort();
        state.counters["games"] = static_cast<double>(doc.m_games.size());
    }
}
BENCHMARK(BM_OpenDocument)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
