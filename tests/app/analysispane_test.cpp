// Analysis of the shown position: the session against a scripted engine (its set-up, scores from
// White's side, a position change that stops and restarts on the newest position with no old
// line shown against it, mated sides, an engine that dies), the pane in the window (its place,
// a click on a move, the copy), and Stockfish itself where it is installed. The waits are upper
// bounds that a working engine never reaches.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QSignalSpy>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <signal.h>

#include "app/analysissession.h"
#include "app/commands.h"
#include "app/enginelist.h"
#include "app/enginemessages.h"
#include "app/mainframe.h"
#include "tests/app/testdoc.h"
#include "tests/app/scriptengine.h"
#include "tests/qtestmain.h"
#include "view/analysispane.h"
#include "view/boardarrows.h"
#include "view/evalbar.h"
#include "view/norvaneview.h"

namespace {

constexpr int WaitMs = 20000;

// A scripted engine: it logs every command it is sent, answers the handshake, and on go prints
// fixed lines for the positions it knows, then waits for stop. On stop it first repeats a line
// of the stopped search, as engines do, then gives its best move.
const char* const FakeEngine = R"sh(log="$(dirname "$0")/commands.log"
best="(none)"
while read -r cmd rest; do
  echo "$cmd $rest" >> "$log"
  case "$cmd" in
    uci)
      echo "id name Scripted Engine"
      echo "option name Hash type spin default 16 min 1 max 1024"
      echo "option name MultiPV type spin default 1 min 1 max 500"
      echo "option name UCI_ShowWDL type check default false"
      echo "uciok";;
    isready) echo "readyok";;
    position) pos="$rest";;
    go)
      case "$pos" in
        "startpos")
          best=e2e4
          echo "info depth 10 seldepth 14 multipv 1 score cp 31 wdl 400 500 100 nodes 123456 nps 98000 hashfull 12 pv e2e4 e7e5 g1f3"
          echo "info depth 10 seldepth 14 multipv 2 score cp 20 wdl 300 600 100 nodes 123456 nps 98000 pv d2d4 d7d5";;
        "startpos moves g1f3")
          best=d7d5
          echo "info depth 9 multipv 1 score cp -25 wdl 100 500 400 pv d7d5 g2g3"
          echo "info depth 9 multipv 2 score cp 40 upperbound pv g8f6 c2c4";;
        "startpos moves g1f3 d7d5")
          best=g2g3
          echo "info depth 8 multipv 1 score mate 3 pv g2g3 c8g4";;
        "startpos moves g1f3 d7d5 g2g3")
          best=c8g4
          echo "info depth 8 multipv 1 score mate -4 pv c8g4 b2b3";;  # Black is mated: White mates
        *) best="(none)";;
      esac;;
    stop)
      [ "$best" = "(none)" ] || echo "info depth 11 multipv 1 score cp 5 pv $best"
      echo "bestmove $best";;
    quit) exit 0;;
  esac
done
)sh";

// An engine that ends as soon as it is asked to search.
const char* const DyingEngine = R"sh(while read -r cmd rest; do
  case "$cmd" in
    uci) echo "id name Dying Engine"; echo "uciok";;
    isready) echo "readyok";;
    go) exit 7;;
  esac
done
)sh";

EngineEntry scriptEngine(const QTemporaryDir& folder, const QString& name, const char* body) {
    const QString path = writeScript(folder, name, body);
    EngineEntry entry;
    entry.name    = name;
    entry.program = path;
    entry.options = {{"Hash", "32"}};
    return entry;
}

QStringList loggedCommands(const QTemporaryDir& folder) {
    QFile file(folder.filePath("commands.log"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

QStringList positionsSent(const QTemporaryDir& folder) {
    return loggedCommands(folder).filter(QRegularExpression("^position "));
}

bool processGone(qint64 pid) { return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0; }

// The first move each position's lines must begin with, by the number of moves played.
const char* const firstMoves[] = {"e2e4", "d7d5", "g2g3", "c8g4"};

} // namespace

class AnalysisPaneTest : public QObject {
    Q_OBJECT

private slots:
    void theSessionSetsUpTheEngineAndFollowsThePosition() {
        QTemporaryDir    folder;
        AnalysisSession  session;
        // Every snapshot must belong to the position the session analyses at that moment: its
        // best line begins with the move the engine gives for that position (a stopped search's
        // last line begins with the old position's move).
        int              mismatches = 0, withLines = 0;
        connect(&session, &AnalysisSession::snapshotChanged, this,
                [&](const AnalysisSnapshot& snapshot) {
                    const std::size_t played = session.position().moves.size();
                    for (const AnalysisLine& line : snapshot.lines) {
                        if (line.multipv != 1) continue;
                        ++withLines;
                        if (played >= std::size(firstMoves) || line.line.coords.empty() ||
                            line.line.coords.front() != firstMoves[played])
                            ++mismatches;
                    }
                });
        session.setPosition({}); // set before the engine is ready: searched once it is
        session.start(scriptEngine(folder, "engine", FakeEngine), 3);
        QTRY_COMPARE_WITH_TIMEOUT(session.snapshot().lines.size(), std::size_t{2}, WaitMs);
        const QStringList commands = loggedCommands(folder);
        QVERIFY(commands.contains("setoption name Hash value 32"));
        QVERIFY(commands.contains("setoption name MultiPV value 3"));
        QVERIFY(commands.contains("setoption name UCI_ShowWDL value true"));
        QVERIFY(commands.indexOf("setoption name MultiPV value 3") < commands.indexOf("isready "));
        const AnalysisSnapshot& first = session.snapshot();
        QCOMPARE(first.engineName, QString("Scripted Engine"));
        QCOMPARE(first.depth, 10);
        QCOMPARE(first.seldepth, 14);
        QCOMPARE(first.nodes, 123456LL);
        QCOMPARE(first.hashfull, 12);
        QCOMPARE(AnalysisLineText(first.lines[0]), QString("+0.31 1. e4 e5 2. Nf3"));
        QCOMPARE(first.lines[0].wdl->win, 400);

        // Black to move: scores, bounds and chances turned to White's side.
        session.setPosition({"", {"g1f3"}});
        QCOMPARE(session.snapshot().lines.size(), std::size_t{0}); // the old lines went at once
        QTRY_COMPARE_WITH_TIMEOUT(session.snapshot().lines.size(), std::size_t{2}, WaitMs);
        QCOMPARE(AnalysisLineText(session.snapshot().lines[0]), QString("+0.25 1... d5 2. g3"));
        QCOMPARE(AnalysisLineText(session.snapshot().lines[1]), QString("≥-0.40 1... Nf6 2. c4"));
        QCOMPARE(session.snapshot().lines[0].wdl->win, 400);
        QCOMPARE(session.snapshot().lines[0].wdl->loss, 100);

        // Three changes while the engine stops: only the newest is searched.
        session.setPosition({"", {"g1f3", "d7d5"}});
        session.setPosition({"", {"g1f3", "d7d5", "g2g3"}});
        session.setPosition({"", {"g1f3", "d7d5"}});
        QTRY_COMPARE_WITH_TIMEOUT(session.snapshot().lines.size(), std::size_t{1}, WaitMs);
        QCOMPARE(AnalysisLineText(session.snapshot().lines[0]), QString("#3 2. g3 Bg4"));
        session.setPosition({"", {"g1f3", "d7d5", "g2g3"}});
        QTRY_COMPARE_WITH_TIMEOUT(session.snapshot().lines.size(), std::size_t{1}, WaitMs);
        QCOMPARE(AnalysisLineText(session.snapshot().lines[0]), QString("#4 2... Bg4 3. b3"));
        QCOMPARE(positionsSent(folder),
                 QStringList({"position startpos", "position startpos moves g1f3",
                              "position startpos moves g1f3 d7d5",
                              "position startpos moves g1f3 d7d5 g2g3"}));
        QVERIFY(withLines >= 4);
        QCOMPARE(mismatches, 0);

        // A mated or stalemated side to move: said, and the engine is not asked.
        session.setPosition({"7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", {}});
        QCOMPARE(session.notice(), QString("チェックメイトの局面です。"));
        session.setPosition({"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", {}});
        QCOMPARE(session.notice(), QString("ステイルメイトの局面です。"));
        session.setPosition({"", {"e2e5"}});
        QCOMPARE(session.notice(), QString("この局面は解析できません。"));
        QTRY_VERIFY_WITH_TIMEOUT(loggedCommands(folder).endsWith("stop "), WaitMs);
        QTest::qWait(50);
        QVERIFY(positionsSent(folder).size() == 4);

        const qint64 pid = session.processId();
        QSignalSpy   ended(&session, &AnalysisSession::analysisEnded);
        session.stop();
        QCOMPARE(ended.count(), 1);
        QVERIFY(!session.isRunning());
        QVERIFY(processGone(pid));
    }

    void thePaneShowsTheLinesAndPlaysAClickedMove() {
        QTemporaryDir folder;
        TestDoc       doc;
        CMainFrame    frame(&doc);
        frame.LoadFrame();
        QVERIFY(openFile(doc, data("kasparov-deep-blue-1997.pgn")));
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        frame.StartAnalysis(scriptEngine(folder, "engine", FakeEngine));
        CAnalysisPane* pane = frame.GetAnalysisPane();
        QVERIFY(pane);
        QVERIFY(frame.IsAnalysing());
        QCOMPARE(pane->parentWidget()->parentWidget(), static_cast<QWidget*>(frame.GetSplitter()));
        QTRY_COMPARE_WITH_TIMEOUT(pane->LinesText(),
                                  QString("+0.31 1. e4 e5 2. Nf3\n+0.20 1. d4 d5"), WaitMs);
        // The bar and the arrows show the same lines: e2-e4 the best, d2-d4 beside it.
        CNorvaneView* view = frame.GetBoardView();
        QVERIFY(frame.GetEvalBar()->isVisible());
        const std::vector<BoardArrow> arrows = {{12, 28, true}, {11, 27, false}};
        QCOMPARE(view->AnalysisArrows(), arrows);

        // The board steps: the pane follows (the game's first move is Nf3).
        view->StepForward();
        QTRY_COMPARE_WITH_TIMEOUT(pane->LinesText(),
                                  QString("+0.25 1... d5 2. g3\n≥-0.40 1... Nf6 2. c4"), WaitMs);

        // Ctrl+C in the pane copies the lines.
        QApplication::clipboard()->clear();
        pane->setFocus();
        QTest::keyClick(pane, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), pane->LinesText() + '\n');

        // A click on the second line's second move plays both moves as research.
        const QRect move = pane->MoveRect(1, 1);
        QVERIFY(move.isValid());
        QTest::mouseClick(pane, Qt::LeftButton, {}, move.center());
        QTRY_COMPARE_WITH_TIMEOUT(view->m_researchCount, 2, WaitMs);
        QVERIFY(view->m_mode & ModeResearch);
        QCOMPARE(frame.GetAnalysis()->position().moves,
                 std::vector<std::string>({"g1f3", "g8f6", "c2c4"}));
        QCOMPARE(pane->LinesText(), QString()); // the engine knows no line there

        const qint64 pid = frame.GetAnalysis()->processId();
        QVERIFY(frame.Commands().Execute(CmdAnalysis));
        QVERIFY(!frame.IsAnalysing());
        QVERIFY(processGone(pid));
        QCOMPARE(frame.GetSplitter()->widget(1), static_cast<QWidget*>(frame.GetSideTabs()));
        QVERIFY(!frame.GetAnalysisPane());
        QVERIFY(!frame.GetEvalBar()->isVisible());
        QVERIFY(view->AnalysisArrows().empty());
    }

    void analysisOffLeavesTheWindowAsItWas() {
        QTemporaryDir folder;
        TestDoc       doc;
        CMainFrame    frame(&doc);
        frame.LoadFrame();
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        const QSize      size   = frame.size();
        const QList<int> widths = frame.GetSplitter()->sizes();
        frame.StartAnalysis(scriptEngine(folder, "engine", FakeEngine));
        QVERIFY(frame.GetAnalysisPane()->isVisible());
        QVERIFY(frame.GetAnalysisPane()->height() > 0);
        QVERIFY(frame.GetSplitter()->sizes().last() > 0); // the column opened for the pane
        frame.StopAnalysis();
        QCOMPARE(frame.size(), size);
        QCOMPARE(frame.GetSplitter()->sizes(), widths);
        QCOMPARE(frame.GetSplitter()->widget(1), static_cast<QWidget*>(frame.GetSideTabs()));
        QVERIFY(!frame.IsGameListShown());
    }

    void anEngineThatDiesSwitchesAnalysisOff() {
        QTemporaryDir     folder;
        TestDoc           doc;
        CMainFrame        frame(&doc);
        frame.LoadFrame();
        const EngineEntry dying = scriptEngine(folder, "dying", DyingEngine);
        frame.StartAnalysis(dying);
        const qint64 pid = frame.GetAnalysis()->processId();
        QTRY_VERIFY_WITH_TIMEOUT(!frame.IsAnalysing(), WaitMs);
        CAnalysisPane* pane = frame.GetAnalysisPane();
        QVERIFY(pane);
        UciError exited;
        exited.kind = UciErrorKind::Exited;
        const QString expected = engineErrorText("dying", exited);
        QVERIFY2(pane->Message().startsWith(expected.left(expected.indexOf(QChar(0xFF08)))),
                 qPrintable(pane->Message()));
        QVERIFY(processGone(pid));
        frame.Commands().UpdateCommandUI();
        QVERIFY(!frame.Commands().Action(CmdAnalysis)->isChecked());
        // The window goes on: analysis can be switched on again.
        frame.StartAnalysis(scriptEngine(folder, "engine", FakeEngine));
        QVERIFY(frame.IsAnalysing());
        QTRY_VERIFY_WITH_TIMEOUT(!frame.GetAnalysisPane()->LinesText().isEmpty(), WaitMs);
        QVERIFY(frame.GetAnalysisPane()->Message().isEmpty());
        frame.StopAnalysis();
    }

    void theBuiltInEngineAnalyses() {
        AnalysisSession session;
        session.start(builtInEngine(), 2);
        // A position of its opening book: analysis has it search all the same.
        session.setPosition({"", {"e2e4", "c7c5"}});
        QTRY_VERIFY_WITH_TIMEOUT(!session.snapshot().lines.empty(), WaitMs);
        QVERIFY(!session.snapshot().lines[0].line.san.empty());
        QVERIFY(session.snapshot().depth > 0);
        // Stopped and started again on the next position, whose lines then follow.
        session.setPosition({"", {"e2e4", "c7c5", "g1f3"}});
        QTRY_VERIFY_WITH_TIMEOUT(!session.snapshot().lines.empty(), WaitMs);
        QVERIFY(!session.snapshot().lines[0].line.whiteFirst);
        const qint64 pid = session.processId();
        session.stop();
        QVERIFY(processGone(pid));
    }

    void stockfishFindsAMateInOne() {
        const EngineEntry stockfish = installedStockfish();
        if (stockfish.program.isEmpty()) QSKIP("Stockfish is not installed");
        AnalysisSession session;
        session.start(stockfish, 2);
        // White to move and mate on the back rank; Black to move in the second position.
        session.setPosition({"6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1", {}});
        QTRY_VERIFY_WITH_TIMEOUT(!session.snapshot().lines.empty() &&
                                     session.snapshot().lines[0].score.kind == UciScore::Mate,
                                 WaitMs);
        QCOMPARE(AnalysisLineText(session.snapshot().lines[0]), QString("#1 1. Ra8#"));
        session.setPosition({"r5k1/8/8/8/8/8/5PPP/6K1 b - - 0 1", {}});
        QTRY_VERIFY_WITH_TIMEOUT(!session.snapshot().lines.empty() &&
                                     session.snapshot().lines[0].score.kind == UciScore::Mate,
                                 WaitMs);
        QCOMPARE(AnalysisLineText(session.snapshot().lines[0]), QString("#-1 1... Ra1#"));
        const qint64 pid = session.processId();
        session.stop();
        QVERIFY(processGone(pid));
    }
};

NORVANE_TEST(AnalysisPaneTest);
#include "analysispane_test.moc"
