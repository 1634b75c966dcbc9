// The board view's redraw costs: one step through a game (sprites moved, the whole board
// composed, the move line rebuilt), the same with the window painted, and one mouse move of a
// carried piece (only its dirty rectangles composed and drawn), each at three board sizes:
// the standard pitch of 33 pixels (300 x 300), 77 (700 x 700, a maximised window on a
// 1280 x 800 screen) and 154 (1400 x 1400, the same at a device pixel ratio of 2). Also the
// drawing of a size's images when the board first takes that size. An iteration of the step
// benchmarks is two steps: forward and back. Runs on Qt's offscreen platform unless another is
// set.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>

#include <cstdlib>

#include "app/norvanedoc.h"
#include "bench/openandwait.h"
#include "records/game.h"
#include "view/boardimages.h"
#include "view/boardscale.h"
#include "view/norvaneview.h"

namespace {

CNorvaneDoc*  doc  = nullptr;
CNorvaneView* view = nullptr;

// Kasparov - Deep Blue, game 1, shown from its 20th half-move.
void showGame() {
    const QString copy = QDir::temp().filePath("norvane-bench-step.pgn");
    QFile::remove(copy);
    if (!QFile::copy(NORVANE_TEST_DATA "/kasparov-deep-blue-1997.pgn", copy) ||
        !openAndWait(*doc, copy))
        std::abort();
    for (int i = 0; i < 20; ++i)
        view->StepForward();
    if (gamePly != 20) std::abort();
}

// The board at the benchmark's pitch, its images drawn beforehand.
void sizeBoard(const benchmark::State& state) {
    const int pitch = static_cast<int>(state.range(0));
    view->resize(QSize(1, 1) * BoardGeometry(pitch).Side());
    view->SetPitch(pitch);
    if (view->Geometry().Pitch() != pitch) std::abort();
}

void BM_StepForwardAndBack(benchmark::State& state) {
    showGame();
    sizeBoard(state);
    for (auto _ : state) {
        view->StepForward();
        view->StepBack();
    }
}
BENCHMARK(BM_StepForwardAndBack)->Arg(33)->Arg(77)->Arg(154)->Unit(benchmark::kMicrosecond);

void BM_StepAndPaint(benchmark::State& state) {
    showGame();
    sizeBoard(state);
    for (auto _ : state) {
        view->StepForward();
        QCoreApplication::processEvents(); // paints what Draw scheduled
        view->StepBack();
        QCoreApplication::processEvents(); // paints what Draw scheduled
    }
}
BENCHMARK(BM_StepAndPaint)->Arg(33)->Arg(77)->Arg(154)->Unit(benchmark::kMicrosecond);

void BM_DragCarriedPiece(benchmark::State& state) {
    doc->NewDocumentFile(); // a game against the engine: the user's pieces can be picked up
    sizeBoard(state);
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
BENCHMARK(BM_DragCarriedPiece)->Arg(33)->Arg(77)->Arg(154)->Unit(benchmark::kMicrosecond);

// A whole drag move at the benchmark's pitch: press on e2 (the pick-up with its targets
// marked), twenty mouse moves to e4, release (the move played, the whole board drawn), then
// the move taken back by a step.
void BM_DragMove(benchmark::State& state) {
    doc->NewDocumentFile();
    sizeBoard(state);
    view->OnEndGame(); // viewing: the drop is no game move and the engine does not reply
    view->OnResearch();
    const QPoint e2 = view->m_squareRects[12].center(), e4 = view->m_squareRects[28].center();
    for (auto _ : state) {
        view->OnLButtonDown(e2);
        for (int i = 1; i <= 20; ++i) {
            view->OnMouseMove(e2 + (e4 - e2) * i / 20);
            QCoreApplication::processEvents();
        }
        view->OnLButtonUp(e4);
        QCoreApplication::processEvents();
        if (view->m_researchCount != 1) std::abort();
        view->StepBack();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_DragMove)->Arg(33)->Arg(77)->Arg(154)->Unit(benchmark::kMillisecond);

// All the images of a size drawn afresh: what the first resize to that size costs. Each
// iteration takes the next pitch of two, so that nothing drawn for the last one is reused.
void BM_DrawImages(benchmark::State& state) {
    int pitch = static_cast<int>(state.range(0));
    for (auto _ : state)
        for (pitch ^= 1; int id : {BoardImage, 131, 132, 133, 134, 135, 136, 137, 138, 139, 140,
                                   141, 142, FileStripImage, RankStripImage})
            benchmark::DoNotOptimize(drawBoardImage(id, pitch));
}
BENCHMARK(BM_DrawImages)->Arg(37)->Arg(77)->Arg(154)->Unit(benchmark::kMillisecond);

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
