// The engine on its worker: the board while it thinks, "今すぐ指す", New and Open during a
// think, the worker's move against the synchronous search's, strength levels, a game from the
// position on the board, and the ends of games on the move line.
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

#include "app/commands.h"
#include "app/strengthdialog.h"
#include "engine/fensetup.h"
#include "engine/perft.h"
#include "engine/search.h"
#include "records/fen.h"
#include "records/pgnread.h"
#include "tests/qtestmain.h"
#include "tests/view/playflow_fixture.h"

namespace {

// A budget the test ends itself: no book, no time limit within the test's life.
constexpr ThinkLimits endless = {600000, 600000, MaxSearchDepth, false, EngineSearch::recordIteration};

// Picks up and drops by two clicks without waiting for the engine.
void clickMoveNoWait(ScriptedView* view, const char* from, const char* to) {
    for (const char* square : {from, to})
        QTest::mouseClick(view, Qt::LeftButton, {},
                          view->m_squareRects[view->DisplaySquare(squareOf(square))].center());
}

// Board square s holds a sprite of a piece of colour's type on the screen.
bool spriteOn(const CNorvaneView* view, const char* square) {
    return view->m_squareSprites[view->DisplaySquare(squareOf(square))] != nullptr;
}

} // namespace

class ThinkTest : public QObject {
    Q_OBJECT
    PlayFixture                    f;
    std::unique_ptr<CCommandTable> commands;
    QTemporaryDir                  settings; // this process's settings only

    bool enabled(int id) {
        commands->UpdateCommandUI();
        return commands->Action(id)->isEnabled();
    }
    bool execute(int id) { return commands->Execute(id); }

private slots:
    void initTestCase() {
        QVERIFY(settings.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    }
    void init() {
        f.make();
        QVERIFY(f.doc->NewDocumentFile());
        commands = std::make_unique<CCommandTable>();
        f.view->RegisterCommands(*commands);
        f.view->waitForEngine = false;
        f.view->limits        = endless;
    }
    void cleanup() {
        f.destroy();
        commands.reset();
    }

    // The user's move is on the board at once; the engine thinks on; the board takes no
    // clicks and the commands that would change the game are off; "今すぐ指す" ends it.
    void theWindowLivesWhileTheEngineThinksAndMoveNowPlays() {
        clickMoveNoWait(f.view, "e2", "e4");
        QVERIFY(f.view->IsThinking());
        QCOMPARE(gamePly, 1);
        QVERIFY(spriteOn(f.view, "e4") && !spriteOn(f.view, "e2"));
        QCOMPARE(f.view->waitCursors, 1);

        for (int id : {CmdTakeBack, CmdEndGame, CmdCopyBoard, CmdCopyGame, CmdPasteGame,
                       CmdShowRecord, CmdSave, CmdEditGameInfo, CmdPlayFromHere})
            QVERIFY2(!enabled(id), qPrintable(QString::number(id)));
        for (int id : {CmdMoveNow, CmdNewGame, CmdFlip, CmdCoordinates, CmdStrength})
            QVERIFY2(enabled(id), qPrintable(QString::number(id)));
        QTest::mouseClick(f.view, Qt::LeftButton, {},
                          f.view->m_squareRects[f.view->DisplaySquare(squareOf("d7"))].center());
        QVERIFY(!f.view->m_pHeld);

        // The status line tells the think: seconds, then depth and best move.
        QVERIFY(f.doc->m_strMoveInfo.startsWith(QString::fromUtf8("思考中 0秒")));
        QTRY_VERIFY_WITH_TIMEOUT(f.doc->m_strMoveInfo.contains(QString::fromUtf8("最善手")), 10000);
        QVERIFY(f.doc->m_strMoveInfo.contains(QString::fromUtf8("深さ")));
        QVERIFY(f.doc->m_strMoveInfo.contains("   1 . e4"));

        // Flipping while it thinks draws the position as it stands.
        f.view->OnFlip();
        QVERIFY(spriteOn(f.view, "e4") && !spriteOn(f.view, "e2"));
        QCOMPARE(int(f.doc->m_sprites.GetCount()), 32);

        QVERIFY(!f.view->LastThink()->stopRequested());
        QVERIFY(execute(CmdMoveNow));
        QVERIFY(waitForReply(f.view));
        QCOMPARE(gamePly, 2);
        QCOMPARE(f.view->beeps, 1);
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
        QCOMPARE(board.hashKey, keyAfter(gameMoves, 2));
        QVERIFY(f.doc->m_strMoveInfo.startsWith("1 . . . "));
        QVERIFY(enabled(CmdTakeBack));
        QVERIFY(!enabled(CmdMoveNow));
    }

    // At a fixed depth the worker plays what the synchronous search plays, node for node.
    void theWorkersMoveIsTheSynchronousSearchsMove() {
        f.view->limits = {NoTimeLimit, NoTimeLimit, 5, false, EngineSearch::recordIteration};
        clickMoveNoWait(f.view, "b1", "a3");
        QVERIFY(waitForReply(f.view));
        QCOMPARE(gamePly, 2);
        const Move          reply = gameMoves[1];
        const std::uint64_t nodes = f.view->workerNodes;

        unmakeMove(gameMoves[1]);
        Move      again{};
        const int score = searchBestMove(Black, &again, {NoTimeLimit, NoTimeLimit, 5, false, nullptr});
        makeMove(gameMoves[1]);
        QVERIFY(score > -MateScore);
        QCOMPARE(again.fromTo, reply.fromTo);
        QCOMPARE(searchNodes, nodes);
    }

    // New and Open during a think stop it first and play its move; a cancelled New leaves the
    // think running.
    void newAndOpenDuringAThinkStopItFirst() {
        clickMoveNoWait(f.view, "e2", "e4");
        QVERIFY(f.view->IsThinking());
        f.view->newGameChoice = -1;
        f.view->OnNewGame();
        QVERIFY(f.view->IsThinking());

        f.view->newGameChoice = EngineNone;
        f.view->OnNewGame();
        QVERIFY(!f.view->IsThinking());
        QCOMPARE(f.view->m_mode, ModePlaying);
        QCOMPARE(f.view->m_engineSide, EngineNone);
        QCOMPARE(gamePly, 0);
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
        // The stopped think's own notice of its end, queued before it was taken back, plays
        // nothing more.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        QCOMPARE(gamePly, 0);

        f.view->newGameChoice = Black;
        f.view->OnNewGame();
        clickMoveNoWait(f.view, "d2", "d4");
        QVERIFY(f.view->IsThinking());
        QVERIFY(openFile(*f.doc, privateCopy("capablanca.pgn")));
        QVERIFY(!f.view->IsThinking());
        QCOMPARE(f.view->m_mode, ModeViewing);
        QVERIFY(!f.doc->m_games.empty());
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
    }

    // The level is asked, kept in the settings and read by a new view; the engine plays at it.
    void theStrengthLevelIsKeptAndUsed() {
        f.view->strengthAsked = BeginnerStrength;
        QVERIFY(execute(CmdStrength));
        QCOMPARE(f.view->m_strengthLevel, BeginnerStrength);
        QCOMPARE(storedStrengthLevel(), BeginnerStrength);
        f.view->strengthAsked = -1;
        QVERIFY(execute(CmdStrength));
        QCOMPARE(f.view->m_strengthLevel, BeginnerStrength);
        {
            CNorvaneDoc  other;
            CNorvaneView view(&other);
            QCOMPARE(view.m_strengthLevel, BeginnerStrength);
        }
        storeStrengthLevel(FullStrength);

        f.view->limits = {NoTimeLimit, NoTimeLimit, 4, false, EngineSearch::recordIteration};
        QVERIFY(clickMove(f.view, "Na3"));
        QVERIFY(waitForReply(f.view));
        QCOMPARE(playingStrength, BeginnerStrength);
        QCOMPARE(gamePly, 2);
        playingStrength = FullStrength;
    }

    // A set-up position (as a pasted FEN gives it) played on against the engine: the start
    // is the game's FEN, the user's Black is at the bottom, the move line counts from the
    // position's move number, and the record replays from the start.
    void aGameFromTheBoardsPosition() {
        const char* fen = "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4";
        clearGame();
        std::memcpy(gameHeader.fen, fen, std::strlen(fen) + 1);
        QVERIFY(setupGameStart());
        f.view->RebuildSprites();
        char shown[TagFieldSize];
        boardToText(shown, sizeof shown);

        f.view->newGameChoice = White; // the engine has White, the side to move
        f.view->limits        = {NoTimeLimit, NoTimeLimit, 3, false, EngineSearch::recordIteration};
        QVERIFY(execute(CmdPlayFromHere));
        QVERIFY(waitForReply(f.view));
        QCOMPARE(QString(gameHeader.fen), QString(shown));
        QCOMPARE(f.view->m_engineSide, int(White));
        QCOMPARE(QString(gameHeader.white), QString("Norvane"));
        QVERIFY(f.view->m_mode & ModeFlipped);
        QCOMPARE(gamePly, 1);
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
        // White moved first: the line numbers moves from the start's move number on.
        const int number = QString(shown).section(' ', 5).toInt();
        QVERIFY(f.doc->m_strMoveInfo.startsWith(QString("%1 . ").arg(number)));

        // The user answers with Black's first legal move.
        Move        legal[MaxMovesPerPly];
        const Move* end = genLegalMoves(legal);
        QVERIFY(end != legal);
        char san[8];
        moveToSan(legal[0], san);
        f.view->waitForEngine = true;
        QVERIFY(clickMove(f.view, san));
        QCOMPARE(gamePly, 3);
        QVERIFY(f.doc->m_strMoveInfo.startsWith(QString("%1 . ").arg(number + 1)));
        // The record is written from the set-up start: its moves are those of the game.
        QVERIFY(enabled(CmdCopyGame));
        QVERIFY(execute(CmdCopyGame));
        const QString record = QGuiApplication::clipboard()->text();
        for (int i = 0; i < 3; ++i)
            QVERIFY2(record.contains(QString::fromLatin1(f.view->m_gameSan[i])), qPrintable(record));
        QCOMPARE(board.hashKey, keyAfterStart(3));

        // The flip command still toggles; New keeps the board as it is.
        f.view->OnFlip();
        QVERIFY(!(f.view->m_mode & ModeFlipped));
        f.view->OnFlip();
        f.view->newGameChoice = Black;
        f.view->OnNewGame();
        QVERIFY(f.view->m_mode & ModeFlipped);
        QCOMPARE(QString(gameHeader.fen), QString());
    }

    // A loaded game at its sixth move with one research move after it: the game against the
    // engine starts there, with Black to move; the collection stays open.
    void aGameFromALoadedGamesResearchLine() {
        QVERIFY(openFile(*f.doc, privateCopy("capablanca.pgn")));
        for (int i = 0; i < 6; ++i)
            f.view->OnForward();
        f.view->OnResearch();
        Move        legal[MaxMovesPerPly];
        const Move* end = genLegalMoves(legal);
        QVERIFY(end != legal);
        char san[8];
        moveToSan(legal[0], san);
        QVERIFY(clickMove(f.view, san));
        QCOMPARE(f.view->m_researchCount, 1);
        char shown[TagFieldSize];
        boardToText(shown, sizeof shown);

        f.view->newGameChoice = Black; // the user has White: the engine moves first
        f.view->limits        = {NoTimeLimit, NoTimeLimit, 3, false, EngineSearch::recordIteration};
        QVERIFY(execute(CmdPlayFromHere));
        QVERIFY(waitForReply(f.view));
        QCOMPARE(QString(gameHeader.fen), QString(shown));
        QCOMPARE(f.view->m_mode, ModePlaying);
        QCOMPARE(f.view->m_researchCount, 0);
        QCOMPARE(gamePly, 1);
        QVERIFY(f.doc->m_strMoveInfo.startsWith("4 . . . "));
        QVERIFY(!f.doc->m_games.empty());
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
    }

    // Game entry: a mate or a stalemate sets the result, and the move line shows it.
    void gameEntryEndsShowTheirResult_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("shown");
        QTest::newRow("mate") << "f3 e5 g4 Qh4#" << BlackWon << "2 . . . Qh4#  0-1";
        QTest::newRow("stalemate") << "e3 a5 Qh5 Ra6 Qxa5 h5 h4 Rah6 Qxc7 f6 Qxd7+ Kf7 Qxb7 Qd3 "
                                      "Qxb8 Qh7 Qxc8 Kg6 Qe6"
                                   << Drawn << "10 . Qe6  1/2-1/2";
    }
    void gameEntryEndsShowTheirResult() {
        QFETCH(QString, line);
        QFETCH(int, result);
        QFETCH(QString, shown);
        f.view->waitForEngine = true;
        f.view->newGameChoice = EngineNone;
        f.view->OnNewGame();
        for (const std::string& san : tokens(line.toStdString()))
            QVERIFY(clickMove(f.view, san));
        QCOMPARE(gameHeader.info & ResultMask, result);
        QVERIFY2(f.doc->m_strMoveInfo.startsWith(shown), qPrintable(f.doc->m_strMoveInfo));
        QCOMPARE(f.view->m_mode, ModePlaying);
        f.view->OnBack(); // off the end, the line shows the move alone
        QVERIFY(!f.doc->m_strMoveInfo.contains(shown.section("  ", 1)));
    }

private:
    // The Board's key after the game's first count moves from its set-up start.
    static std::uint64_t keyAfterStart(int count) {
        const Board saved = board;
        setupGameStart();
        for (int i = 0; i < count; ++i)
            makeMove(gameMoves[i]);
        const std::uint64_t key = board.hashKey;
        board                   = saved;
        return key;
    }
};

NORVANE_TEST(ThinkTest);
#include "think_test.moc"
