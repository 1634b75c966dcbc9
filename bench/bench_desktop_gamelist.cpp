// The game list of a million games as the user meets it: the rows made afresh (a file opened
// or a search finished), and a header click (the sort, the selection following its game, the
// list painted again), by each column. Runs headless.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <utility>

#include "app/norvanedoc.h"
#include "bench/syntheticgames.h"
#include "records/gamefilter.h"
#include "view/gamelistmodel.h"
#include "view/gameview.h"
#include "view/listviewex.h"

namespace {

// A document holding a million games of varied players, results, lengths, years and codes,
// and its list on the screen.
struct MillionGames {
    CNorvaneDoc doc;
    CGameView   view{&doc};

    MillionGames() {
        SyntheticIndex index = syntheticGames(1'000'000);
        doc.m_games.swap(index.games);
        doc.m_names = std::move(index.names);
        view.resize(300, 330);
        view.show();
        QApplication::processEvents();
    }
};

MillionGames& games() {
    static MillionGames list;
    return list;
}

void BM_RebuildRows(benchmark::State& state) {
    MillionGames& list = games();
    for (auto _ : state) {
        list.doc.UpdateAllViews(nullptr, HintRebuildList);
        list.view.GetList()->viewport()->repaint();
    }
}
BENCHMARK(BM_RebuildRows)->Unit(benchmark::kMillisecond);

void BM_HeaderClick(benchmark::State& state) {
    MillionGames& list   = games();
    const int     column = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        list.doc.UpdateAllViews(nullptr, HintRebuildList); // file order again
        state.ResumeTiming();
        list.view.GetModel()->sort(column);
        list.view.GetList()->viewport()->repaint();
    }
}
BENCHMARK(BM_HeaderClick)->DenseRange(0, ColumnCount - 1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    startEngine();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
