// Moves typed on the keyboard with the board focused: the status line while typing, Enter in
// play, in game entry, on the engine's turn and while viewing a game.
#include <QTest>

#include "app/norvanedoc.h"
#include "tests/qtestmain.h"
#include "tests/view/playflow_fixture.h"

class TypedMoveTest : public QObject {
    Q_OBJECT
    PlayFixture f;

    void newGame(int choice) { QVERIFY(f.newGame(choice)); }
    // Types text and presses Enter, then lets the engine reply.
    void enter(const char* text) {
        QTest::keyClicks(f.view, text);
        QTest::keyClick(f.view, Qt::Key_Return);
        QVERIFY(waitForReply(f.view));
    }
    QString statusLine() const { return f.doc->m_strMoveInfo; }

private slots:
    void init() {
        f.make();
        QVERIFY(f.doc->NewDocumentFile());
    }
    void cleanup() { f.destroy(); }

    void theStatusLineFollowsTheTyping() {
        QTest::keyClicks(f.view, "N");
        QCOMPARE(statusLine(), QString("入力: N    候補: Na3 Nc3 Nf3 Nh3"));
        QTest::keyClicks(f.view, "f3");
        QCOMPARE(statusLine(), QString("入力: Nf3    Enter で Nf3 を指します"));
        QTest::keyClick(f.view, Qt::Key_Backspace);
        QCOMPARE(f.view->TypedText(), QString("Nf"));
        QCOMPARE(statusLine(), QString("入力: Nf    候補: Nf3"));
        QTest::keyClicks(f.view, "6");
        QCOMPARE(statusLine(), QString("入力: Nf6    指せる手がありません"));
        // Escape drops the text and gives the move line back (empty at the start).
        QTest::keyClick(f.view, Qt::Key_Escape);
        QCOMPARE(f.view->TypedText(), QString());
        QCOMPARE(statusLine(), QString());
        QCOMPARE(gamePly, 0);
    }

    void enterPlaysTheUsersMoveAndTheEngineReplies() {
        f.view->engineMoves = {"e5"};
        enter("e2e4");
        QCOMPARE(gamePly, 2);
        QCOMPARE(QString(f.view->m_gameSan[0]), QString("e4"));
        QCOMPARE(QString(f.view->m_gameSan[1]), QString("e5"));
        QCOMPARE(f.view->TypedText(), QString());
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
    }

    // Both knights reach d2: the short text is refused with both moves named, and nothing is
    // played; the full one plays.
    void anAmbiguousOrIllegalTextIsRefused() {
        newGame(EngineNone);
        for (const char* move : {"d4", "d5", "Nf3", "Nf6"}) enter(move);
        QCOMPARE(gamePly, 4);
        const int beeps = f.view->beeps;
        enter("Nd2");
        QCOMPARE(gamePly, 4);
        QCOMPARE(statusLine(), QString("入力: Nd2    どの駒の手か決まりません: Nbd2 Nfd2"));
        QCOMPARE(f.view->beeps, beeps + 1);
        for (int i = 0; i < 3; ++i) QTest::keyClick(f.view, Qt::Key_Backspace);
        enter("Qh5");
        QCOMPARE(gamePly, 4);
        QCOMPARE(statusLine(), QString("入力: Qh5    指せる手がありません"));
        QTest::keyClick(f.view, Qt::Key_Escape);
        enter("Nbd2");
        QCOMPARE(gamePly, 5);
        QCOMPARE(QString(f.view->m_gameSan[4]), QString("Nbd2"));
    }

    void theEnginesTurnTakesNoTypedMove() {
        f.view->waitForEngine  = false;
        f.view->newGameChoice  = White;  // the engine has White and starts thinking at once
        f.view->OnNewGame();
        QVERIFY(f.view->IsThinking());
        QTest::keyClicks(f.view, "e4");
        QTest::keyClick(f.view, Qt::Key_Return);
        QCOMPARE(statusLine(), QString("入力: e4    いまは指せません (相手の手番です)"));
        QVERIFY(waitForReply(f.view));
        QCOMPARE(gamePly, 1);
    }

    // While a game is viewed, the game's next move steps forward; another move starts research.
    void whileViewingAMoveStepsOrStartsResearch() {
        newGame(EngineNone);
        for (const char* move : {"e4", "e5", "Nf3"}) enter(move);
        f.view->OnEndGame();
        f.view->StepToFirst();
        QCOMPARE(gamePly, 0);
        enter("e4");
        QCOMPARE(gamePly, 1);
        QVERIFY(!(f.view->m_mode & ModeResearch));
        enter("c5");
        QVERIFY(f.view->m_mode & ModeResearch);
        QCOMPARE(f.view->m_researchCount, 1);
        QCOMPARE(QString(f.view->m_researchSan[0]), QString("c5"));
    }

    // Keys that are no part of a move go on to the window; text beyond any move is not taken.
    void otherKeysPassAndLongTextStops() {
        QVERIFY(!f.view->OnTypedKey(Qt::Key_Space, " "));
        QVERIFY(!f.view->OnTypedKey(Qt::Key_Return, "\r"));  // nothing typed: Enter is not ours
        QTest::keyClicks(f.view, "Nbd2Nbd2Nbd2");
        QCOMPARE(f.view->TypedText(), QString("Nbd2Nbd2Nb"));
    }
};

NORVANE_TEST(TypedMoveTest);
#include "typedmove_test.moc"
