// A game against the engine under a clock driven by hand, and the rules that end a game: the
// flag (a loss, or a draw when the other side cannot mate), the increment, the engine's share
// of its clock, the dead position, the draw claims of both sides, resigning and a draw offer.
#include <QTemporaryDir>
#include <QTest>

#include "app/currentgame.h"
#include "app/norvanedoc.h"
#include "app/recoveryfile.h"
#include "app/savetext.h"
#include "engine/timemanager.h"
#include "resources/gametexts.h"
#include "tests/qtestmain.h"
#include "tests/view/playflow_fixture.h"
#include "view/clockpane.h"

namespace {

// The scripted view on a clock that moves only when the test moves it, with a chosen score
// for the scripted replies and a chosen answer to "resign?".
class ClockedView : public ScriptedView {
public:
    using ScriptedView::ScriptedView;
    std::int64_t now = 1000;
    int          replyScore = 0;
    bool         answerYes  = true;
    std::int64_t ClockNow() const override { return now; }

protected:
    int Think(int side, Move* out) override {
        const bool scripted = !engineMoves.empty();
        const int  score    = ScriptedView::Think(side, out);
        return scripted ? replyScore : score;
    }
    bool AskYesNo(const QString&) override { return answerYes; }
};

QString tagsText() { return QString::fromUtf8(gameHeader.otherTags); }

} // namespace

class ClockedGameTest : public QObject {
    Q_OBJECT
    std::unique_ptr<CNorvaneDoc> doc;
    ClockedView*                 view = nullptr;

    // A new game with the engine on engineSide, under control.
    void newGame(int engineSide, const TimeControl& control) {
        view->m_timeControl  = control;
        view->newGameChoice  = engineSide;
        view->OnNewGame();
        QVERIFY(waitForReply(view));
    }
    // The same from a position given as FEN.
    void gameFrom(const char* fen, int engineSide, const TimeControl& control) {
        QVERIFY(view->PasteFen(fen));
        view->m_timeControl = control;
        view->newGameChoice = engineSide;
        view->OnPlayFromHere();
        QVERIFY(waitForReply(view));
    }
    void play(const char* san) {
        QVERIFY(clickMove(view, san));
        QVERIFY(waitForReply(view));
    }

private slots:
    void init() {
        doc  = std::make_unique<CNorvaneDoc>();
        view = new ClockedView(doc.get());
        view->m_strengthLevel = FullStrength;
        view->resize(300, 300);
        view->show();
        QVERIFY(doc->NewDocumentFile());
    }
    void cleanup() {
        delete view;
        view = nullptr;
        doc.reset();
        clearGame();
    }

    void withoutAControlNoClockRuns() {
        newGame(Black, TimeControl{});
        QVERIFY(!view->ClockRunning());
        view->engineMoves = {"e5"};
        play("e4");
        QCOMPARE(gamePly, 2);
        QCOMPARE(view->NextThinkLimits().hardLimitMs, HardTimeLimitMs);
        QCOMPARE(QString(gameHeader.otherTags), QString());
    }

    // 5+3: the user's 2 seconds are charged and 3 added; the engine's reply runs its own clock.
    void theClockRunsForTheSideToMoveWithItsIncrement() {
        newGame(Black, TimeControl::even(5, 3));
        QVERIFY(view->ClockRunning());
        QCOMPARE(view->Clock().running(), int(White));
        view->now += 2000;
        view->engineMoves = {"e5"};
        play("e4");
        QCOMPARE(view->Clock().remaining(White, view->now), 301000);
        QCOMPARE(view->Clock().remaining(Black, view->now), 303000);  // its move took no time
        QCOMPARE(view->Clock().running(), int(White));
        // The engine was given its share of its clock.
        const ClockBudget budget = clockBudget(300000, 3000, 0);
        QCOMPARE(view->NextThinkLimits().hardLimitMs, budget.hardLimitMs);
        QVERIFY(view->NextThinkLimits().hardLimitMs < 300000);

        CClockPane pane(view);
        QCOMPARE(pane.ClockTextOf(White), QString("5:01"));
        view->now += 297000;
        QCOMPARE(pane.ClockTextOf(White), QString("0:04.0"));
    }

    // Each move's clock after it (increment included) is the comment after it in the tree,
    // with the control as a tag from the start: the recovery file holds them while the game
    // goes on. The clock belongs to its move's edit: one undo takes both back.
    void eachMovesClockIsWrittenAfterIt() {
        QTemporaryDir scratch;
        const QString recovery = scratch.filePath("recovery.pgn");
        view->SetRecoveryPath(recovery);
        newGame(Black, TimeControl::even(5, 3));
        QVERIFY(QString::fromUtf8(currentGameSaveText()).contains("[TimeControl \"300+3\"]"));
        view->engineMoves = {"e5", "Nc6"};
        view->now += 2000;
        play("e4");
        view->now += 4700;
        play("Nf3");
        const auto& line = currentGameTree().mainLine.moves;
        QCOMPARE(line.size(), std::size_t(4));
        const char* const expected[4] = {"[%clk 0:05:01]", "[%clk 0:05:03]", "[%clk 0:04:59]",
                                         "[%clk 0:05:06]"};
        for (std::size_t i = 0; i < 4; ++i)
            QCOMPARE(line[i].commentsAfter, std::vector<std::string>{expected[i]});
        const QString saved = QString::fromUtf8(readRecoveryFile(recovery)).simplified();
        QVERIFY(saved.contains("[TimeControl \"300+3\"]"));
        QVERIFY(saved.contains("Nf3 {[%clk 0:04:59]}"));
        QVERIFY(saved.contains("Nc6 {[%clk 0:05:06]}"));
        QVERIFY(currentGameEdits().undo());
        QCOMPARE(currentGameTree().mainLine.moves.size(), std::size_t(3));
        QCOMPARE(currentGameTree().mainLine.moves[2].commentsAfter,
                 std::vector<std::string>{"[%clk 0:04:59]"});
    }

    // Without a clock no move gets a time.
    void withoutAControlNoMoveHasAClock() {
        newGame(Black, TimeControl{});
        view->engineMoves = {"e5"};
        play("e4");
        for (const MoveNode& node : currentGameTree().mainLine.moves) QVERIFY(node.commentsAfter.empty());
    }

    // The flag falls while the user holds a piece: it goes back to its square with the game over.
    void aFallenFlagLosesTheGame() {
        newGame(Black, TimeControl::even(1, 0));
        clickSquare(view, "e2");
        QVERIFY(view->m_pHeld);
        view->now += 60000;
        view->OnFlagTimer();
        QVERIFY(!view->m_pHeld);
        QCOMPARE(view->m_mode & ModeViewing, ModeViewing);
        QCOMPARE(gameHeader.info & ResultMask, BlackWon);
        QCOMPARE(view->EndReason(), QString::fromUtf8(GameText::BlackWinsOnTime));
        QCOMPARE(view->messages.back(), QString::fromUtf8(GameText::BlackWinsOnTime));
        QVERIFY(tagsText().contains("[Termination \"time forfeit\"]\n"));
        QVERIFY(tagsText().contains("[TimeControl \"60\"]\n"));
        QVERIFY(doc->m_strMoveInfo.contains(QString::fromUtf8(GameText::BlackWinsOnTime)));
        QVERIFY(!view->ClockRunning());
    }

    // The engine's flag falls while it thinks: its move is dropped and the game is lost.
    void theEnginesFlagFallsWhileItThinks() {
        view->waitForEngine = false;
        view->m_timeControl = TimeControl::even(1, 0);
        view->newGameChoice = White;
        view->OnNewGame();
        QVERIFY(view->IsThinking());
        view->now += 60000;
        view->OnFlagTimer();
        QVERIFY(!view->IsThinking());
        QCOMPARE(gamePly, 0);
        QCOMPARE(gameHeader.info & ResultMask, BlackWon);
        QCOMPARE(view->EndReason(), QString::fromUtf8(GameText::BlackWinsOnTime));
    }

    // The flag timer fires early: nothing ends until the time is really used up.
    void anEarlyTimerWaitsAgain() {
        newGame(Black, TimeControl::even(1, 0));
        view->now += 59000;
        view->OnFlagTimer();
        QCOMPARE(view->m_mode & ModePlaying, ModePlaying);
    }

    // White's flag falls against a lone king: a draw, since Black could never mate.
    void aFlagAgainstALoneKingIsADraw() {
        gameFrom("8/8/4k3/8/8/4K3/8/R7 w - - 0 1", Black, TimeControl::even(1, 0));
        QVERIFY(view->ClockRunning());
        view->now += 61000;
        view->OnFlagTimer();
        QCOMPARE(gameHeader.info & ResultMask, Drawn);
        QCOMPARE(view->EndReason(), QString::fromUtf8(GameText::DrawOnTime));
    }

    // Taking the last rook leaves kings alone: a draw at once, without the engine's reply.
    void aDeadPositionEndsTheGameAtOnce() {
        gameFrom("8/8/4k3/8/8/4K3/4r3/8 w - - 0 1", Black, TimeControl{});
        view->engineMoves = {"Kd6"};
        play("Kxe2");
        QCOMPARE(gamePly, 1);
        QCOMPARE(gameHeader.info & ResultMask, Drawn);
        QCOMPARE(view->EndReason(), QString::fromUtf8(GameText::DrawDeadPosition));
        QVERIFY(tagsText().contains("[Termination \"normal\"]\n"));
        QCOMPARE(view->engineMoves.size(), std::size_t(1));
    }

    void theUserClaimsAThreefoldRepetition() {
        newGame(Black, TimeControl{});
        view->OnClaimDraw();
        QCOMPARE(view->messages.back(), QString::fromUtf8(GameText::NothingToClaim));
        view->engineMoves = {"Nf6", "Ng8", "Nf6", "Ng8"};
        for (const char* san : {"Nf3", "Ng1", "Nf3", "Ng1"}) play(san);
        QCOMPARE(gamePly, 8);
        QCOMPARE(view->m_mode & ModePlaying, ModePlaying);  // claimable, not automatic
        view->OnClaimDraw();
        QCOMPARE(gameHeader.info & ResultMask, Drawn);
        QCOMPARE(view->EndReason(), QString::fromUtf8(GameText::DrawThreefold));
    }

    // The engine, on its turn in the repeated position and no better than equal, claims.
    void theEngineClaimsWhenNotBetter() {
        view->engineMoves = {"Nf3"};
        newGame(White, TimeControl{});
        view->engineMoves = {"Ng1", "Nf3", "Ng1", "Nf3"};
        for (const char* san : {"Nf6", "Ng8", "Nf6", "Ng8"}) play(san);
        QCOMPARE(gameHeader.info & ResultMask, Drawn);
        QCOMPARE(view->EndReason(), QString::fromUtf8(GameText::DrawThreefold));
        QCOMPARE(gamePly, 8);  // the claim instead of its ninth move
    }

    void theUserResigns() {
        newGame(Black, TimeControl::even(5, 0));
        view->answerYes = false;
        view->OnResign();
        QCOMPARE(view->m_mode & ModePlaying, ModePlaying);
        view->answerYes = true;
        view->OnResign();
        QCOMPARE(gameHeader.info & ResultMask, BlackWon);
        QCOMPARE(view->EndReason(), QString::fromUtf8(GameText::WhiteResigns));
        QVERIFY(tagsText().contains("[TimeControl \"300\"]\n"));
    }

    void theEngineTakesADrawOnlyWhenWorse() {
        newGame(Black, TimeControl{});
        view->engineMoves = {"e5"};
        play("e4");
        view->OnOfferDraw();
        QCOMPARE(view->messages.back(), QString::fromUtf8(GameText::OfferDeclined).arg("Norvane"));
        QCOMPARE(view->m_mode & ModePlaying, ModePlaying);
        view->replyScore  = -120;
        view->engineMoves = {"Nc6"};
        play("Nf3");
        view->OnOfferDraw();
        QCOMPARE(gameHeader.info & ResultMask, Drawn);
        QCOMPARE(view->EndReason(), QString::fromUtf8(GameText::DrawAgreed));
    }
};

NORVANE_TEST(ClockedGameTest);
#include "clockedgame_test.moc"
