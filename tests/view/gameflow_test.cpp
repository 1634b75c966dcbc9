// Around a game against the engine: looking back at earlier positions while the game goes on,
// 待った and 元に戻す, the board turned back for the next game or file, and New keeping the
// open file when the setting says so.
#include <QSettings>
#include <QTest>

#include <functional>

#include "app/commands.h"
#include "app/currentgame.h"
#include "resources/viewtexts.h"
#include "tests/qtestmain.h"
#include "tests/view/playflow_fixture.h"

namespace {

const char* const GameFile = "kasparov-deep-blue-1997.pgn";

// The Board's key after the first count moves of the game from its start.
std::uint64_t keyOfPly(int count) { return keyAfter(gameMoves, count); }

} // namespace

class GameFlowTest : public QObject {
    Q_OBJECT
    PlayFixture                    f;
    std::unique_ptr<CCommandTable> table;

    // A new game with choice (0 the engine has White, 1 Black, 2 game entry); the engine's
    // first move, when it has one, is 1.e4 unless a test scripted another.
    void newGame(int choice) {
        if (choice == White && f.view->engineMoves.empty()) f.view->engineMoves = {"e4"};
        QVERIFY(f.newGame(choice));
    }
    bool enabled(int id) {
        table->UpdateCommandUI();
        return table->Action(id)->isEnabled();
    }
    // The user plays White: 1.e4 e5 2.Nf3 Nc6, the replies scripted.
    void playFourPlies() {
        f.view->engineMoves = {"e5", "Nc6"};
        QVERIFY(clickMove(f.view, "e4"));
        QVERIFY(clickMove(f.view, "Nf3"));
        QCOMPARE(f.view->GameLength(), 4);
        QCOMPARE(gamePly, 4);
    }
    bool flipped() const { return f.view->m_mode & ModeFlipped; }

private slots:
    void init() {
        f.make();
        table = std::make_unique<CCommandTable>();
        f.view->RegisterCommands(*table);
        QVERIFY(f.doc->NewDocumentFile());
    }
    void cleanup() {
        table.reset();
        f.destroy();
        QSettings().remove(KeepFileOnNewKey);
    }

    // Each way of looking back shows an earlier position and leaves the game as it is; no
    // move is made there, by the mouse or typed; the last position takes moves again.
    void lookingBackLeavesTheGameAlone() {
        struct Case {
            const char*           name;
            std::function<void()> lookBack;
            int                   shownPly;
        };
        const Case cases[] = {
            {"back", [&] { table->Execute(CmdBack); }, 3},
            {"first", [&] { table->Execute(CmdFirst); }, 0},
            {"a move of the list", [&] { f.view->GoToPly(2, false); }, 2},
            {"a move's path", [&] { f.view->GoToPath(NodePath{0}); }, 1},
        };
        for (const Case& c : cases) {
            cleanup();
            init();
            playFourPlies();
            const QString name = c.name;
            QVERIFY2(enabled(CmdBack) && !enabled(CmdForward), qPrintable(name));
            c.lookBack();
            QVERIFY2(gamePly == c.shownPly, qPrintable(name));
            QCOMPARE(board.hashKey, keyOfPly(c.shownPly));
            QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
            QCOMPARE(f.view->GameLength(), 4);
            QCOMPARE(int(currentGameTree().mainLine.moves.size()), 4);
            QCOMPARE(f.view->m_mode, ModePlaying);
            QVERIFY2(f.doc->m_strMoveInfo.contains(QString::fromUtf8(ViewText::EarlierPosition)),
                     qPrintable(f.doc->m_strMoveInfo));
            QVERIFY(enabled(CmdForward) && enabled(CmdLast));
            // A drag from an own piece is refused; the sprites stay where they were.
            const int from = f.view->DisplaySquare(squareOf(board.sideToMove == White ? "d2" : "d7"));
            const int to   = f.view->DisplaySquare(squareOf(board.sideToMove == White ? "d4" : "d5"));
            QTest::mousePress(f.view, Qt::LeftButton, {}, f.view->m_squareRects[from].center());
            QTest::mouseMove(f.view, f.view->m_squareRects[to].center());
            QTest::mouseRelease(f.view, Qt::LeftButton, {}, f.view->m_squareRects[to].center());
            QVERIFY(!f.view->m_pHeld);
            QCOMPARE(f.view->GameLength(), 4);
            QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
            // Typed, the same move is refused with a word why.
            for (const char ch : std::string(board.sideToMove == White ? "d4" : "d5"))
                f.view->OnTypedKey(ch, QString(QChar(ch)));
            f.view->OnTypedKey(Qt::Key_Return, "\r");
            QCOMPARE(f.view->GameLength(), 4);
            f.view->ClearTypedMove();
            // At the last position the game goes on.
            table->Execute(CmdLast);
            QCOMPARE(gamePly, 4);
            QVERIFY(!f.doc->m_strMoveInfo.contains(QString::fromUtf8(ViewText::EarlierPosition)));
            f.view->engineMoves = {"Nf6"};
            QVERIFY(clickMove(f.view, "Bc4"));
            QCOMPARE(f.view->GameLength(), 6);
        }
    }

    // The engine's reply that comes while the user looks back is played at the game's end,
    // and the board goes there; the clock ran on meanwhile.
    void theReplyGoesToTheGamesEnd() {
        f.view->m_timeControl = TimeControl::even(5, 0);
        newGame(Black);
        playFourPlies();
        f.view->waitForEngine = false;
        f.view->engineMoves   = {"Bc5"};
        QVERIFY(clickMove(f.view, "Bc4"));
        QVERIFY(f.view->IsThinking());
        f.view->OnFirst();
        QCOMPARE(gamePly, 0);
        QCOMPARE(f.view->Clock().running(), int(Black));
        QVERIFY(waitForReply(f.view));
        QCOMPARE(f.view->GameLength(), 6);
        QCOMPARE(gamePly, 6);
        QCOMPARE(QString(f.view->m_gameSan[5]), QString("Bc5"));
        QCOMPARE(board.hashKey, keyOfPly(6));
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
        QCOMPARE(f.view->Clock().running(), int(White));
        QCOMPARE(int(currentGameTree().mainLine.moves.size()), 6);
    }

    // 待った, and 元に戻す during a game, from the last position or an earlier one: the
    // user's last move and the engine's reply leave the game, and the user moves again there.
    void takeBackAndUndoTakeTheLastTwoMoves() {
        const struct {
            const char* name;
            int         command;
            bool        lookBack;
        } cases[] = {
            {"待った", CmdTakeBack, false},
            {"待った looking back", CmdTakeBack, true},
            {"元に戻す", CmdUndoEdit, false},
            {"元に戻す looking back", CmdUndoEdit, true},
        };
        for (const auto& c : cases) {
            cleanup();
            init();
            playFourPlies();
            if (c.lookBack) f.view->OnFirst();
            QVERIFY2(enabled(c.command), c.name);
            QVERIFY(table->Execute(c.command));
            QCOMPARE(f.view->GameLength(), 2);
            QCOMPARE(gamePly, 2);
            QCOMPARE(board.hashKey, keyOfPly(2));
            QCOMPARE(int(currentGameTree().mainLine.moves.size()), 2);
            QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
            QCOMPARE(f.view->m_mode, ModePlaying);
            f.view->engineMoves = {"d6"};
            QVERIFY(clickMove(f.view, "d4"));
            QCOMPARE(QString(f.view->m_gameSan[2]) + " " + f.view->m_gameSan[3], QString("d4 d6"));
            QCOMPARE(f.view->GameLength(), 4);
        }
    }

    // Outside a game 元に戻す is the edit history's: after 対局終了 it undoes the last edit
    // and leaves the game's moves.
    void undoOutsideAGameIsTheEditsUndo() {
        playFourPlies();
        table->Execute(CmdEndGame);
        QCOMPARE(f.view->m_mode, ModeViewing);
        QVERIFY(!enabled(CmdTakeBack));
        f.view->OnSetMark(1);
        QCOMPARE(int(currentGameTree().mainLine.moves[3].nags.size()), 1);
        QVERIFY(table->Execute(CmdUndoEdit));
        QVERIFY(currentGameTree().mainLine.moves[3].nags.empty());
        QCOMPARE(f.view->GameLength(), 4);
    }

    // The board turns back to White at the bottom for the next game or file, unless the user
    // turned it; a game where the user plays Black shows Black at the bottom.
    void theBoardTurnsBackUnlessTheUserTurnedIt() {
        const auto openFile_ = [&] { QVERIFY(openFile(*f.doc, privateCopy(GameFile))); };
        struct Case {
            const char*           name;
            std::function<void()> steps;
            bool                  flippedAfter;
        };
        const Case cases[] = {
            {"the user plays Black", [&] { newGame(White); }, true},
            {"then a game as White", [&] { newGame(White); newGame(Black); }, false},
            {"then game entry", [&] { newGame(White); newGame(EngineNone); }, false},
            {"then a file", [&] { newGame(White); openFile_(); }, false},
            {"turned by the user, a game as White",
             [&] {
                 f.view->OnFlip();
                 newGame(Black);
             },
             true},
            {"turned by the user, a file",
             [&] {
                 f.view->OnFlip();
                 openFile_();
             },
             true},
            {"turned back by the user in a game as Black, a file",
             [&] {
                 newGame(White);
                 f.view->OnFlip();
                 openFile_();
             },
             false},
        };
        for (const Case& c : cases) {
            cleanup();
            init();
            c.steps();
            QVERIFY2(flipped() == c.flippedAfter, c.name);
            QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
        }
    }

    // New closes the open file unless the setting keeps it; either way the game starts.
    void newKeepsTheFileWhenSet() {
        for (const bool keep : {false, true}) {
            cleanup();
            init();
            if (keep) QSettings().setValue(KeepFileOnNewKey, true);
            QVERIFY(openFile(*f.doc, privateCopy(GameFile)));
            const QString path  = f.doc->GetPathName();
            const auto    games = f.doc->m_games.size();
            QVERIFY(games > 0);
            f.view->OnForward();
            newGame(White);
            QCOMPARE(f.doc->GetPathName(), keep ? path : QString());
            QCOMPARE(f.doc->m_games.size(), keep ? games : 0);
            QCOMPARE(f.doc->m_loadedGame, std::int64_t(-1));
            QCOMPARE(f.view->m_mode & ~DisplayModes, ModePlaying);
            QCOMPARE(f.view->m_engineSide, int(White));
            QCOMPARE(QString(gameHeader.white), QString("Norvane"));
            QCOMPARE(f.view->GameLength(), 1);
            QCOMPARE(board.hashKey, keyOfPly(1));
            QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
        }
    }
};

NORVANE_TEST(GameFlowTest);
#include "gameflow_test.moc"
