// The analysis pane's cost to the engine and its answer to a change of position, with
// Stockfish (Threads 1, Hash 16):
//  - its nodes a second (from its own info lines) analysing through the desktop's session
//    (EngineProcess, the snapshots, the pane's throttle) against the same engine run alone
//    through the command line's runner, on the same position for the same time, both with the
//    same number of lines; the runs alternate (alone, session, alone, session) and the ratio
//    compares their sums;
//  - the time from a change of the position to the first line of the new position, over
//    changes back and forth between two positions.
// A plain program: build/bench_desktop_analysis [SECONDS [LINES]] (default 5 s, 3 lines).
// Runs on Qt's offscreen platform unless another is set.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/analysissession.h"
#include "app/enginelist.h"
#include "app/norvanedoc.h"
#include "uci/processrunner.h"
#include "uci/uciclient.h"

namespace {

const char* const Fen       = "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4";
const char* const OtherFen  = "r1bqk2r/pppp1ppp/2n2n2/2b1p3/2B1P3/3P1N2/PPP2PPP/RNBQK2R w KQkq - 1 5";

// Serves events for ms milliseconds.
void serve(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

EngineEntry benchEntry(const EngineEntry& stockfish) {
    EngineEntry entry = stockfish;
    entry.options     = {{"Threads", "1"}, {"Hash", "16"}};
    return entry;
}

// Stockfish alone for ms on Fen: the nps of its last info line.
long long aloneNps(const EngineEntry& stockfish, int ms, int lines) {
    ProcessRunner    runner;
    ProcessTransport transport(runner);
    UciClient        client(transport);
    std::string      error;
    if (!runner.start(stockfish.program.toStdString(), {}, error)) {
        std::fprintf(stderr, "cannot start Stockfish: %s\n", error.c_str());
        std::exit(1);
    }
    client.start(steadyMilliseconds());
    const auto state = [](UciClient::State wanted) {
        return [wanted](const UciClient& c) { return c.state() == wanted; };
    };
    if (!pumpUntil(runner, client, state(UciClient::State::Idle), 10000)) std::exit(1);
    client.setOption("Threads", std::string("1"));
    client.setOption("Hash", std::string("16"));
    client.setOption("MultiPV", std::to_string(lines));
    client.setOption("UCI_ShowWDL", std::string("true"));
    client.isReady(steadyMilliseconds());
    if (!pumpUntil(runner, client, [](const UciClient& c) { return !c.readyPending(); }, 10000))
        std::exit(1);
    UciGo go;
    go.infinite = true;
    client.go(Fen, {}, go);
    const std::int64_t end = steadyMilliseconds() + ms;
    pumpUntil(runner, client, [end](const UciClient&) { return steadyMilliseconds() >= end; }, ms + 1000);
    const long long nps = client.progress().nps.value_or(0);
    client.stop(steadyMilliseconds());
    pumpUntil(runner, client, state(UciClient::State::Idle), 10000);
    client.quit();
    runner.stop();
    return nps;
}

// The same through the desktop's session; snapshots counts what the pane would have drawn.
long long sessionNps(const EngineEntry& stockfish, int ms, int lines, int& snapshots) {
    AnalysisSession session;
    snapshots = 0;
    QObject::connect(&session, &AnalysisSession::snapshotChanged, [&] { ++snapshots; });
    session.start(benchEntry(stockfish), lines);
    // The handshake first, so that the time is the search's.
    QElapsedTimer wait;
    wait.start();
    session.setPosition({Fen, {}});
    while (session.snapshot().lines.empty() && wait.elapsed() < 10000)
        serve(5);
    serve(ms - static_cast<int>(std::min<qint64>(wait.elapsed(), ms / 2)));
    const long long nps = session.snapshot().nps;
    session.stop();
    return nps;
}

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    startEngine();
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int lines   = argc > 2 ? std::clamp(std::atoi(argv[2]), 1, 5) : 3;
    const EngineEntry stockfish = installedStockfish();
    if (stockfish.program.isEmpty()) {
        std::printf("Stockfish is not installed: nothing to measure\n");
        return 0;
    }
    const int ms = seconds * 1000;
    long long alone = 0, through = 0;
    for (int round = 0; round < 2; ++round) {
        const long long a = aloneNps(stockfish, ms, lines);
        int             snapshots = 0;
        const long long s         = sessionNps(stockfish, ms, lines, snapshots);
        std::printf("round %d: alone %lld nps, through the session %lld nps (%d snapshots)\n",
                    round + 1, a, s, snapshots);
        alone += a;
        through += s;
    }
    std::printf("MultiPV %d, %d s a run: session / alone = %.1f %%\n", lines, seconds,
                alone > 0 ? 100.0 * static_cast<double>(through) / static_cast<double>(alone) : 0.0);

    // A change of position to the first line of the new one.
    AnalysisSession session;
    session.start(benchEntry(stockfish), lines);
    session.setPosition({Fen, {}});
    QElapsedTimer wait;
    wait.start();
    while (session.snapshot().lines.empty() && wait.elapsed() < 10000)
        serve(5);
    std::vector<double> latencies;
    QElapsedTimer       clock;
    bool                waiting = false;
    QObject::connect(&session, &AnalysisSession::snapshotChanged,
                     [&](const AnalysisSnapshot& snapshot) {
                         if (!waiting || snapshot.lines.empty()) return;
                         waiting = false;
                         latencies.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
                     });
    for (int change = 0; change < 20; ++change) {
        serve(200); // the engine is deep in its search when the position changes
        waiting = true;
        clock.start();
        session.setPosition({change % 2 == 0 ? OtherFen : Fen, {}});
        QElapsedTimer limit;
        limit.start();
        while (waiting && limit.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    session.stop();
    std::sort(latencies.begin(), latencies.end());
    if (!latencies.empty())
        std::printf("change to first line (%zu changes): median %.1f ms, max %.1f ms, min %.1f ms\n",
                    latencies.size(), latencies[latencies.size() / 2], latencies.back(),
                    latencies.front());
    return 0;
}
