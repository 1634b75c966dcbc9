// The board view's redraw costs: one step through a game (sprites moved, the whole 300 x 300
// board composed, the move line rebuilt), the same with the window painted, and one
// mouse move of a carried piece (only its dirty rectangles composed and drawn). An iteration
// of the step benchmarks is two steps: forward and back. Runs on Qt's
// offscreen platform unless another is set.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>

#include <cstdlib>

#include "app/norvanedoc.h"
#include "records/game.h"
#include "view/norvaneview.h"

namespace {

CNorvaneDoc*  doc  = nullptr;
CNorvaneView* view = nullptr;

// Kasparov - Deep Blue, game 1, shown from its 20th half-move.
void showGame() {
    const QString copy = QDir::temp().filePath("norvane-bench-step.pgn");
    QFile::remove(copy);
    if (!QFile::copy(NORVANE_TEST_DATA "/kasparov-deep-blue-1997.pgn", copy) ||
        !doc->OpenDocumentFile(copy))
        std::abort();
    for (int i = 0; i < 20; ++i)
        view->StepForward();
    if (gamePly != 20) std::abort();
}

void BM_StepForwardAndBack(benchmark::State& state) {
    showGame();
    for (auto _ : state) {
        view->StepForward();
        view->StepBack();
    }
}
BENCHMARK(BM_StepForwardAndBack)->Unit(benchmark::kMicrosecond);

void BM_StepAndPaint(benchmark::State& state) {
    showGame();
    for (auto _ : state) {
        view->StepForward();
        QCoreApplication::processEvents(); // paints what Draw scheduled
        view->StepBack();
        QCoreApplication::processEvents(); // paints what Draw scheduled
    }
}
BENCHMARK(BM_StepAndPaint)->Unit(benchmark::kMicrosecond);

void BM_DragCarriedPiece(benchmark::State& state) {
    doc->NewDocumentFile(); // a game against the engine: the user's pieces can be picked up
    const QPoint e2 = view->m_squareRects[12].center();
    view->OnLButtonDown(e2);
    if (!view->m_pHeld) std::abort();
    int step = 0;
    for (auto _ : state) {
        step = (step + 1) % 40;
        view->OnMouseMove(e2 + QPoint(step, -step));
        QCoreApplication::processEvents(); // paints what Draw scheduled
    }
    view->OnRButtonDown();
}
BENCHMARK(BM_DragCarriedPiece)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    doc  = new CNorvaneDoc;
    view = new CNorvaneView(doc);
    view->resize(300, 300);
    view->show();
    // The window must be exposed before repaint paints anything.
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
    if (!view->isVisible()) std::abort();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete view;
    delete doc;
    return 0;
}
