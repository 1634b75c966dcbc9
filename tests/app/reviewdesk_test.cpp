// The game review on the desktop: the evaluation graph of a loaded game drawn from its own
// comments (points, a click, the PNG, the menu switch), a review by the built-in engine whose
// marks arrive before its end, and a cancelled review that keeps what was judged, leaves no
// engine behind and goes with the game; the review kept in the game as one edit, undone, and
// its saved text read back with its graph. The waits are upper bounds a working program never
// reaches.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <signal.h>

#include "app/commands.h"
#include "app/currentgame.h"
#include "app/enginelist.h"
#include "app/mainframe.h"
#include "app/reviewsession.h"
#include "app/reviewsettings.h"
#include "app/savetext.h"
#include "records/game.h"
#include "records/gameedits.h"
#include "records/pgnread.h"
#include "records/passthreads.h"
#include "tests/app/scriptengine.h"
#include "tests/app/testdoc.h"
#include "tests/qtestmain.h"
#include "view/evalgraph.h"
#include "view/movelist.h"
#include "view/norvaneview.h"
#include "view/reviewmarks.h"
#include "view/reviewpane.h"

namespace {

constexpr int WaitMs = 60000;

// The frame with its picture's path given instead of asked.
class TestFrame : public CMainFrame {
public:
    using CMainFrame::CMainFrame;
    QString picturePath;
    QString AskGraphPicturePath() override { return picturePath; }
};

// An engine that answers the first two searches at once and then thinks until it is stopped;
// it leaves its process id beside itself.
const char* const StallingEngine = R"sh(echo $$ > "$(dirname "$0")/pid"
searches=0
while read -r cmd rest; do
  case "$cmd" in
    uci) echo "id name Stalling Engine"; echo "option name MultiPV type spin default 1 min 1 max 500"; echo "uciok";;
    isready) echo "readyok";;
    go)
      searches=$((searches + 1))
      if [ $searches -le 2 ]; then
        echo "info depth 1 multipv 1 score cp 20 pv e2e4"
        echo "bestmove e2e4"
      fi;;
    stop) echo "bestmove e2e4";;
    quit) exit 0;;
  esac
done
)sh";

bool processGone(qint64 pid) { return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0; }

// The main-line cell of the move list that holds ply, or null.
QTableWidgetItem* moveCell(CMainFrame& frame, int ply) {
    QTableWidget* table = frame.GetMoveList()->GetTable();
    for (int row = 0; row < table->rowCount(); ++row)
        for (int column = 1; column < 3; ++column)
            if (QTableWidgetItem* item = table->item(row, column))
                if (item->data(MainLinePlyRole).isValid() &&
                    item->data(MainLinePlyRole).toInt() == ply)
                    return item;
    return nullptr;
}

} // namespace

class ReviewDeskTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { setPassThreads(0); }

    void aLoadedGameDrawsItsGraphWithoutAnEngine() {
        QTemporaryDir folder;
        TestDoc       doc;
        TestFrame     frame(&doc);
        frame.LoadFrame();
        QVERIFY(openFile(doc, data("lichess-annotated.pgn")));
        frame.ShowGameList(true);
        frame.GetSideTabs()->setCurrentWidget(frame.GetMoveList());
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));

        EvalGraph* graph = frame.GetReviewPane()->GetGraph();
        QVERIFY(graph->isVisible());
        QCOMPARE(graph->Points().size(), std::size_t(41));
        QVERIFY(graph->HasScores());
        QVERIFY(graph->HasTimes());
        QVERIFY(!frame.GetReview()->IsRunning());
        QCOMPARE(graph->Points()[8].mark, MoveMark::Blunder); // 5. dxc5?? as the game marks it

        // A click on the graph shows the move under it; the explanation line follows.
        QTest::mouseClick(graph, Qt::LeftButton, {},
                          QPoint(graph->PlyPosition(9), graph->height() / 2));
        QTRY_COMPARE(gamePly, 9);
        QCOMPARE(graph->CurrentPly(), 9);
        QVERIFY(frame.GetReviewPane()->GetExplanation()->text().startsWith("5. dxc5??"));
        QVERIFY(graph->ToolTipAt(graph->PlyPosition(9)).contains(QString::fromUtf8("消費 5秒")));

        // The picture, at its own size whatever the pane's.
        frame.picturePath = folder.filePath("graph.png");
        frame.Commands().Execute(CmdSaveEvalGraph);
        const QImage picture(frame.picturePath);
        QCOMPARE(picture.size(), EvalGraph::PictureSize);
        QVERIFY(picture.pixel(5, 5) != picture.pixel(5, picture.height() - 5)); // drawn, not blank
        // A folder is no picture: the user is told, nothing is claimed.
        frame.picturePath = folder.path();
        frame.Commands().Execute(CmdSaveEvalGraph);
        QCOMPARE(doc.messages.size(), 1);

        // The menu's switch hides the graph, and is kept for the next window.
        frame.Commands().Execute(CmdEvalGraph);
        QVERIFY(!frame.IsEvalGraphShown());
        {
            TestDoc   other;
            TestFrame next(&other);
            next.LoadFrame();
            QVERIFY(!next.IsEvalGraphShown());
        }
        frame.Commands().Execute(CmdEvalGraph);
        QVERIFY(frame.IsEvalGraphShown());
    }

    void marksArriveBeforeTheReviewEnds() {
        storeAnalysisEngineName(builtInEngine().name);
        setReviewBudget({ReviewBudget::Nodes, 20000});
        setPassThreads(2);
        TestDoc   doc;
        TestFrame frame(&doc);
        frame.LoadFrame();
        QVERIFY(
            openFile(doc, data("review-mistakes.pgn"))); // its first game: 3. Qxe5+ hangs the queen
        frame.show();
        QVERIFY(QTest::qWaitForWindowActive(&frame));

        ReviewSession* review = frame.GetReview();
        // What has arrived at each mark and at the end.
        QStringList events;
        connect(review, &ReviewSession::moveJudged, this,
                [&](int ply) { events << QString("mark %1").arg(ply); });
        connect(review, &ReviewSession::reviewEnded, this,
                [&](ReviewOutcome outcome, const QString& message) {
                    events << (outcome == ReviewOutcome::Done ? QString("done")
                                                              : "ended " + message);
                });
        frame.Commands().Execute(CmdReviewGame);
        QVERIFY(review->IsRunning());
        QCOMPARE(frame.GetSideTabs()->currentWidget(), static_cast<QWidget*>(frame.GetMoveList()));
        QTRY_VERIFY_WITH_TIMEOUT(!review->IsRunning(), WaitMs);

        QCOMPARE(events.size(), 9);
        QCOMPARE(events.last(), QString("done"));
        QVERIFY(events.first().startsWith("mark"));
        QCOMPARE(review->JudgedCount(), 8);
        QCOMPARE(frame.GetReviewMarks()->At(4), MoveMark::Blunder);
        QVERIFY(moveCell(frame, 4));
        const EvalGraph* graph = frame.GetReviewPane()->GetGraph();
        QCOMPARE(graph->Points()[4].mark, MoveMark::Blunder);
        QVERIFY(graph->Points()[4].whiteScore && *graph->Points()[4].whiteScore < 0.1);
        QVERIFY(frame.GetReviewPane()->GetSummary()->text().contains(QString::fromUtf8("正確度")));

        // The blunder's explanation shows when its position is shown.
        frame.GetBoardView()->GoToPly(5, false);
        const QString line = frame.GetReviewPane()->GetExplanation()->text();
        QVERIFY2(line.startsWith("3. Qxe5+??") && line.size() > 20, qPrintable(line));
    }

    void aFinishedReviewIsKeptInTheGame() {
        storeAnalysisEngineName(builtInEngine().name);
        setReviewBudget({ReviewBudget::Nodes, 20000});
        setPassThreads(1);
        TestDoc   doc;
        TestFrame frame(&doc);
        frame.LoadFrame();
        QVERIFY(openFile(doc, data("review-mistakes.pgn"))); // 3. Qxe5+ hangs the queen
        frame.show();
        const GameTree loaded = currentGameTree();
        QVERIFY(!frame.GetBoardView()->IsGameModified());
        frame.GetBoardView()->GoToPly(3, false);

        ReviewSession* review = frame.GetReview();
        frame.Commands().Execute(CmdReviewGame);
        QTRY_VERIFY_WITH_TIMEOUT(!review->IsRunning(), WaitMs);
        QCOMPARE(review->JudgedCount(), 8);

        // One edit: the blunder's glyph, its evaluation, explanation and better line.
        const GameTree&  kept    = currentGameTree();
        const MoveNode&  blunder = kept.mainLine.moves[4];
        QCOMPARE(markOf(blunder), 4);
        QCOMPARE(blunder.commentsAfter.size(), std::size_t(1));
        QVERIFY(blunder.commentsAfter[0].starts_with("[%eval "));
        QVERIFY(blunder.commentsAfter[0].find(review->Moves()[4]->explanation) != std::string::npos);
        QCOMPARE(blunder.variations.size(), std::size_t(1));
        for (const MoveNode& move : kept.mainLine.moves)
            if (&move != &kept.mainLine.moves.back())
                QVERIFY(!move.commentsAfter.empty());
        QVERIFY(frame.GetBoardView()->IsGameModified());
        QCOMPARE(gamePly, 3); // the board stays where it was
        // The move list shows the game's glyph; the review's own mark is not drawn beside it.
        QVERIFY(moveCell(frame, 4)->text().contains("??"));

        // The saved text reads back as the same tree, with its graph.
        const QByteArray saved = currentGameSaveText();
        GameTree         reread;
        QVERIFY(parseGameTree(saved.constData(), static_cast<std::size_t>(saved.size()), reread));
        QVERIFY(sameGame(reread, kept));

        frame.Commands().Execute(CmdUndoEdit);
        QVERIFY(sameGame(currentGameTree(), loaded));
        QVERIFY(!frame.GetBoardView()->IsGameModified());

        // The saved game loaded again: its graph from its own comments, no engine run.
        QTemporaryDir folder;
        QFile         file(folder.filePath("reviewed.pgn"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(saved);
        file.close();
        QVERIFY(openFile(doc, file.fileName()));
        const EvalGraph* graph = frame.GetReviewPane()->GetGraph();
        QCOMPARE(graph->Points().size(), std::size_t(8));
        QVERIFY(graph->HasScores());
        QCOMPARE(graph->Points()[4].mark, MoveMark::Blunder);
        QVERIFY(graph->Points()[4].whiteEval.has_value());
        QCOMPARE(review->JudgedCount(), 0);
    }

    void aCancelledReviewKeepsItsMarksUntilTheGameChanges() {
        QTemporaryDir folder;
        const QString program = writeScript(folder, "engine", StallingEngine);
        storeEngines(
            {builtInEngine(), EngineEntry{"Stalling", program, {}, false, EngineEntry::User, {}}});
        storeAnalysisEngineName("Stalling");
        setPassThreads(1);
        TestDoc   doc;
        TestFrame frame(&doc);
        frame.LoadFrame();
        QVERIFY(openFile(doc, data("review-mistakes.pgn")));
        frame.show();

        ReviewSession* review = frame.GetReview();
        QSignalSpy     ended(review, &ReviewSession::reviewEnded);
        frame.Commands().Execute(CmdReviewGame);
        // The first move is judged from the two answered searches; the third search stalls.
        QTRY_COMPARE_WITH_TIMEOUT(review->JudgedCount(), 1, WaitMs);
        QVERIFY(review->IsRunning());
        QFile pidFile(folder.filePath("pid"));
        QVERIFY(pidFile.open(QIODevice::ReadOnly));
        const qint64 pid = pidFile.readAll().trimmed().toLongLong();

        frame.Commands().Execute(CmdReviewGame); // running, the command cancels
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, WaitMs);
        QCOMPARE(ended.first().first().value<ReviewOutcome>(), ReviewOutcome::Cancelled);
        QVERIFY(processGone(pid));
        QCOMPARE(review->JudgedCount(), 1);
        QVERIFY(review->Moves()[0].has_value());
        QVERIFY(frame.GetReviewPane()->GetGraph()->Points()[0].whiteScore.has_value());
        QVERIFY(frame.GetReviewPane()->GetSummary()->text().contains("1 / 8"));

        // Moving about keeps it; another game drops it, and draws that game's own evaluations.
        frame.Commands().Execute(CmdForward);
        QCOMPARE(review->JudgedCount(), 1);
        QVERIFY(openFile(doc, data("lichess-annotated.pgn")));
        QCOMPARE(review->JudgedCount(), 0);
        QVERIFY(review->Moves().empty());
        QCOMPARE(frame.GetReviewPane()->GetGraph()->Points().size(), std::size_t(41));
        QVERIFY(frame.GetReviewPane()->GetSummary()->isHidden());
    }
};

NORVANE_TEST(ReviewDeskTest);
#include "reviewdesk_test.moc"
