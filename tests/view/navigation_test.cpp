// Viewing a loaded game: stepping, replay and research move the Board and the sprites
// together; the navigation commands are enabled exactly when they can act.
#include <QAction>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <vector>

#include "app/commands.h"
#include "tests/qtestmain.h"
#include "tests/view/playflow_fixture.h"

namespace {

// Game 1 of this file: Kasparov - Deep Blue, 1-0 in 89 half-moves, opening 1.Nf3 d5 2.g3 Bg4
// 3.b3.
const char* const GameFile  = "kasparov-deep-blue-1997.pgn";
constexpr int     GamePlies = 89;

} // namespace

class NavigationTest : public QObject {
    Q_OBJECT
    PlayFixture                    f;
    std::unique_ptr<CCommandTable> table;

    void fresh() {
        table.reset(); // its rules read the view
        f.destroy();
        f.make();
        table = std::make_unique<CCommandTable>();
        f.view->RegisterCommands(*table);
    }
    void open() { QVERIFY(openFile(*f.doc, privateCopy(GameFile))); }
    bool enabled(int id) {
        table->UpdateCommandUI();
        return table->Action(id)->isEnabled();
    }
    // The Board and the sprites show the shown line's position.
    void expectShown(int researchMoves = 0) {
        QCOMPARE(f.view->m_researchCount, researchMoves);
        Board saved = board;
        setupStartKeepingMoves();
        for (int i = 0; i < gamePly; ++i)
            makeMove(gameMoves[i]);
        for (int i = 0; i < researchMoves; ++i)
            makeMove(f.view->m_researchMoves[i]);
        const std::uint64_t key = board.hashKey;
        board                   = saved;
        QCOMPARE(board.hashKey, key);
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
    }

private slots:
    void init() { fresh(); }
    void cleanup() {
        table.reset();
        f.destroy();
    }

    void aLoadedGameIsViewedFromItsStart() {
        open();
        QCOMPARE(f.view->m_mode, ModeViewing);
        QCOMPARE(f.view->m_engineSide, EngineNone);
        QCOMPARE(gamePly, 0);
        QCOMPARE(f.doc->m_strMoveInfo, QString("Garry Kasparov - Deep Blue (Computer)"));
        QCOMPARE(QString(f.view->m_gameSan[GamePlies - 1]), QString("g7"));
        QCOMPARE(f.view->m_gameSan[GamePlies][0], '\0');
        expectShown();
        // Viewing takes no clicks.
        clickSquare(f.view, "g1");
        QVERIFY(!f.view->m_pHeld);
    }

    void stepsMoveTheBoardAndTheSpritesTogether() {
        open();
        struct Step {
            int id, plies;
        };
        const Step steps[] = {{CmdForward, 1},      {CmdForward, 2},          {CmdBack, 1},
                              {CmdLast, GamePlies}, {CmdBack, GamePlies - 1}, {CmdFirst, 0},
                              {CmdForward, 1},      {CmdLast, GamePlies}};
        for (const Step& step : steps) {
            QVERIFY(table->Execute(step.id));
            QCOMPARE(gamePly, step.plies);
            expectShown();
        }
        QCOMPARE(f.doc->m_strMoveInfo, QString("45 . g7  1-0"));
        QVERIFY(!table->Execute(CmdForward));
        QVERIFY(!table->Execute(CmdLast));
        QVERIFY(table->Execute(CmdFirst));
        QVERIFY(!table->Execute(CmdBack));
        QCOMPARE(gamePly, 0);
        QCOMPARE(f.doc->m_strMoveInfo, QString("Garry Kasparov - Deep Blue (Computer)"));
    }

    void replayStepsToTheEndAndStops() {
        open();
        QVERIFY(table->Execute(CmdLast));
        for (int i = 0; i < 3; ++i)
            QVERIFY(table->Execute(CmdBack));
        QVERIFY(table->Execute(CmdReplay));
        QVERIFY(f.view->m_mode & ModeReplaying);
        QVERIFY(f.doc->IsBoardBusy());
        QVERIFY(f.view->timerRunning);
        QVERIFY(table->Action(CmdReplay)->isChecked());
        for (int tick = 1; tick <= 3; ++tick) {
            f.view->OnTimer(ReplayTimerId);
            QCOMPARE(gamePly, GamePlies - 3 + tick);
            expectShown();
        }
        QVERIFY(f.view->m_mode & ModeReplaying);
        f.view->OnTimer(ReplayTimerId); // past the end
        QCOMPARE(f.view->m_mode, ModeViewing);
        QVERIFY(!f.doc->IsBoardBusy());
        QVERIFY(!f.view->timerRunning);
        QCOMPARE(gamePly, GamePlies);
    }

    // The real timer runs once a second; each of its ticks is a step, and turning the replay
    // off stops it. (The test shortens the period and waits for the ticks themselves.)
    void theReplayTimerStepsOnEachTickUntilTurnedOff() {
        open();
        QCOMPARE(f.view->ReplayTimer().interval(), 1000);
        f.view->realTimer = true;
        f.view->SetReplayInterval(1);
        QSignalSpy ticks(&f.view->ReplayTimer(), &QTimer::timeout);
        QVERIFY(table->Execute(CmdReplay));
        QVERIFY(f.view->ReplayTimer().isActive());
        QVERIFY(ticks.wait(BackgroundWaitMs));
        QCOMPARE(gamePly, 1);
        QVERIFY(f.view->m_mode & ModeReplaying);
        QVERIFY(table->Execute(CmdReplay));
        QVERIFY(!f.view->ReplayTimer().isActive()); // no tick can come
        QCOMPARE(gamePly, 1);
        expectShown();
    }

    void replayTurnedOffStopsWhereItIs() {
        open();
        QVERIFY(table->Execute(CmdReplay));
        f.view->OnTimer(ReplayTimerId);
        f.view->OnTimer(ReplayTimerId);
        // While it runs, a click moves nothing even in research, and the replay's own command
        // stops it.
        clickSquare(f.view, "e7");
        QVERIFY(!f.view->m_pHeld);
        QVERIFY(table->Execute(CmdReplay));
        QCOMPARE(f.view->m_mode, ModeViewing);
        QVERIFY(!f.view->timerRunning);
        QVERIFY(!f.doc->IsBoardBusy());
        f.view->OnTimer(ReplayTimerId); // a late tick changes nothing
        QCOMPARE(gamePly, 2);
        expectShown();
    }

    void researchExtendsASideLineAndReturns() {
        open();
        for (int i = 0; i < 4; ++i)
            QVERIFY(table->Execute(CmdForward));
        const std::uint64_t start = board.hashKey;
        QVERIFY(table->Execute(CmdResearch));
        QCOMPARE(f.view->m_mode, ModeViewing | ModeResearch);
        QVERIFY(table->Action(CmdResearch)->isChecked());

        // The side line 3.c4 e6 in place of the game's 3.b3.
        QVERIFY(clickMove(f.view, "c4"));
        QVERIFY(clickMove(f.view, "e6"));
        QCOMPARE(gamePly, 4);
        expectShown(2);
        QCOMPARE(QString(f.view->m_gameSan[4]), QString("b3"));
        QCOMPARE(QString(f.view->m_researchSan[1]), QString("e6"));
        QCOMPARE(f.doc->m_strMoveInfo.left(10), QString("3 . . . e6"));

        // Back stops where research began; the game's own moves stay made.
        QVERIFY(table->Execute(CmdBack));
        expectShown(1);
        QVERIFY(table->Execute(CmdFirst));
        QVERIFY(!table->Execute(CmdBack));
        QCOMPARE(gamePly, 4);
        QCOMPARE(board.hashKey, start);
        QVERIFY(table->Execute(CmdLast));
        expectShown(2);

        QVERIFY(table->Execute(CmdResearch));
        QCOMPARE(f.view->m_mode, ModeViewing);
        QCOMPARE(board.hashKey, start);
        QCOMPARE(f.view->m_researchMoves[0].piece, std::int16_t(0));
        expectShown();
        // The game goes on as it was.
        QVERIFY(table->Execute(CmdForward));
        QCOMPARE(QString(f.view->m_gameSan[4]), QString("b3"));
        expectShown();
    }

    // Which commands are enabled in each state.
    void enableRules() {
        const auto entry = [&](const char* line) {
            f.view->newGameChoice = EngineNone;
            f.view->OnNewGame();
            for (const std::string& san : tokens(line))
                QVERIFY(clickMove(f.view, san));
        };
        struct Case {
            const char*           name;
            std::function<void()> setUp;
            bool                  forward, back, replay, research, takeBack, endGame;
        };
        const Case cases[] = {
            {"against the engine",
             [&] {
                 f.view->engineMoves = {"e5"};
                 QVERIFY(clickMove(f.view, "e4"));
             },
             false, true, false, false, true, true},
            {"against the engine, looking back",
             [&] {
                 f.view->engineMoves = {"e5"};
                 QVERIFY(clickMove(f.view, "e4"));
                 f.view->OnBack();
             },
             true, true, false, false, true, true},
            {"game entry at its end", [&] { entry("e4 e5"); }, false, true, false, false, false,
             true},
            {"game entry a step back",
             [&] {
                 entry("e4 e5");
                 f.view->OnBack();
             },
             true, true, false, false, false, true},
            {"viewing at the start", [&] { open(); }, true, false, true, true, false, false},
            {"viewing at the end",
             [&] {
                 open();
                 f.view->OnLast();
             },
             false, true, false, true, false, false},
            {"replaying",
             [&] {
                 open();
                 f.view->OnReplay();
             },
             false, false, true, false, false, false},
            {"research begun",
             [&] {
                 open();
                 f.view->OnForward();
                 f.view->OnResearch();
             },
             false, false, false, true, false, false},
            {"research with a move",
             [&] {
                 open();
                 f.view->OnForward();
                 f.view->OnResearch();
                 QVERIFY(clickMove(f.view, "e5"));
             },
             false, true, false, true, false, false},
            {"research a step back",
             [&] {
                 open();
                 f.view->OnForward();
                 f.view->OnResearch();
                 QVERIFY(clickMove(f.view, "e5"));
                 f.view->OnBack();
             },
             true, false, true, true, false, false},
            {"game ended",
             [&] {
                 entry("e4 e5");
                 f.view->OnEndGame();
             },
             false, true, false, true, false, false},
        };
        for (const Case& c : cases) {
            fresh();
            QVERIFY(f.doc->NewDocumentFile());
            c.setUp();
            const QString name = c.name;
            QVERIFY2(enabled(CmdForward) == c.forward, qPrintable(name));
            QVERIFY2(enabled(CmdLast) == c.forward, qPrintable(name));
            QVERIFY2(enabled(CmdBack) == c.back, qPrintable(name));
            QVERIFY2(enabled(CmdFirst) == c.back, qPrintable(name));
            QVERIFY2(enabled(CmdReplay) == c.replay, qPrintable(name));
            QVERIFY2(enabled(CmdResearch) == c.research, qPrintable(name));
            QVERIFY2(enabled(CmdTakeBack) == c.takeBack, qPrintable(name));
            QVERIFY2(enabled(CmdEndGame) == c.endGame, qPrintable(name));
            // The record commands and new game wait for a replay to end; flip and coordinates
            // never do.
            const bool replaying = f.view->m_mode & ModeReplaying;
            for (const int id : {CmdNewGame, CmdCopyBoard, CmdCopyGame, CmdPasteGame, CmdShowRecord,
                                 CmdSave, CmdEditGameInfo})
                QVERIFY2(enabled(id) == !replaying, qPrintable(name + QString(" %1").arg(id)));
            QVERIFY(enabled(CmdFlip) && enabled(CmdCoordinates));
        }
    }

    void aGameOf512MovesIsShownToItsLastMove() {
        clearGame();
        const char* shuffle[4] = {"Nf3", "Nf6", "Ng1", "Ng8"};
        for (int i = 0; i < MaxGameMoves; ++i) {
            QVERIFY(sanToMove(shuffle[i % 4], 2, &gameMoves[i]));
            makeMove(gameMoves[i]);
        }
        f.doc->UpdateAllViews(nullptr, HintReloadGame);
        QCOMPARE(QString(f.view->m_gameSan[MaxGameMoves - 1]), QString("Ng8"));
        QVERIFY(table->Execute(CmdLast));
        QCOMPARE(gamePly, MaxGameMoves);
        expectShown();
        QVERIFY(!f.view->HasNextMove());
        QVERIFY(!table->Execute(CmdForward));
        QCOMPARE(f.doc->m_strMoveInfo, QString("256 . . . Ng8  *"));
        f.view->OnReplay(); // the first tick finds no move and stops
        f.view->OnTimer(ReplayTimerId);
        QCOMPARE(f.view->m_mode, ModeViewing);
        QVERIFY(!f.view->timerRunning);
        QCOMPARE(gamePly, MaxGameMoves);
    }

    void flippingInTheMiddleOfAGameKeepsTheMapRight() {
        open();
        for (int i = 0; i < 12; ++i)
            f.view->OnForward(); // castled White
        f.view->OnFlip();
        f.view->OnCoordinates();
        expectShown();
        for (int i = 0; i < 12; ++i)
            f.view->OnBack();
        QCOMPARE(gamePly, 0);
        expectShown();
    }
};

NORVANE_TEST(NavigationTest);
#include "navigation_test.moc"
