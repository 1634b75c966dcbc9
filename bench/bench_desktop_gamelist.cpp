// The game list of a million games as the user meets it: the rows made afresh (a file opened
// or a search finished), and a header click (the sort, the selection following its game, the
// list painted again), by each column. Runs headless.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdio>
#include <random>

#include "app/norvanedoc.h"
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
        static const char* const names[] = {"Carlsen, Magnus", "Kasparov, Garry", "anand, v", "Tal, M",
                                            "Fischer, R", "Nakamura, Hikaru", "Caruana, F", "Ding, Liren"};
        std::mt19937 random(7);
        doc.m_games.resize(1'000'000);
        std::uint32_t number = 0;
        for (GameEntry& e : doc.m_games) {
            std::snprintf(e.white, sizeof e.white, "%s %u", names[random() % 8], unsigned(random() % 1000));
            std::snprintf(e.black, sizeof e.black, "%s %u", names[random() % 8], unsigned(random() % 1000));
            const int results[4] = {0, WhiteWon, BlackWon, Drawn};
            e.info   = static_cast<std::uint16_t>((random() % 501) | results[random() % 4] | Matched);
            e.moves  = static_cast<std::uint16_t>(random() % 120);
            e.year   = static_cast<std::int16_t>(1850 + random() % 175);
            e.number = number++;
        }
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
