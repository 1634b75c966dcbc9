// 対局棋譜: a game against the engine is appended to the games file once, when it ends or
// when it is left with moves in it, with the players' names, the date, the time control, the
// result and how it ended.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "app/gamesfile.h"
#include "app/norvanedoc.h"
#include "app/recoveryfile.h"
#include "resources/enginetexts.h"
#include "tests/qtestmain.h"
#include "tests/view/playflow_fixture.h"

class KeptGamesTest : public QObject {
    Q_OBJECT
    PlayFixture                    f;
    std::unique_ptr<QTemporaryDir> scratch;
    QString                        gamesPath;

    void newGame(int engineSide, const TimeControl& control = {}) {
        f.view->m_timeControl = control;
        f.view->newGameChoice = engineSide;
        f.view->OnNewGame();
        QVERIFY(waitForReply(f.view));
    }
    void play(const char* san) {
        QVERIFY(clickMove(f.view, san));
        QVERIFY(waitForReply(f.view));
    }
    QString kept() const {
        QFile file(gamesPath);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    static int gameCount(const QString& text) { return int(text.count("[Event ")); }
    static QString engineName() {
        return "Norvane " + QString::fromUtf8(EngineText::Levels[FullStrength])
                                .arg(strengthLevels[FullStrength].elo);
    }

private slots:
    void init() {
        scratch   = std::make_unique<QTemporaryDir>();
        gamesPath = scratch->filePath("kept/games.pgn"); // its folder is made on the first game
        QSettings().setValue(GamesFileKey, gamesPath);
        f.make();
        QVERIFY(f.doc->NewDocumentFile());
    }
    void cleanup() {
        f.destroy();
        QSettings().remove(GamesFileKey);
        scratch.reset();
    }

    // The user resigns: the game is kept at its end with its names, result and termination,
    // and leaving it afterwards (New, another new game) does not write it again.
    void aGameThatEndsIsKeptOnce() {
        newGame(Black);
        f.view->engineMoves = {"e5"};
        play("e4");
        QVERIFY(!QFile::exists(gamesPath));
        f.view->yesAnswer = true;
        f.view->OnResign();
        const QString text = kept();
        QCOMPARE(gameCount(text), 1);
        QVERIFY(text.contains("[Black \"" + engineName() + "\"]"));
        QVERIFY(!text.contains("[White \"-\"]"));
        QVERIFY(text.contains("[Result \"0-1\"]"));
        QVERIFY(text.contains("[Termination \"normal\"]"));
        QVERIFY(text.contains(QRegularExpression("\\[Date \"\\d{4}\\.\\d\\d\\.\\d\\d\"\\]")));
        QVERIFY(text.contains("1.e4 e5 0-1"));
        QVERIFY(f.view->ConfirmDiscardGame());
        newGame(Black);
        QCOMPARE(gameCount(kept()), 1);
    }

    // Left with moves in it (New, Open, another game, quitting all ask first): kept as
    // unfinished, abandoned, with its clock; asked again, it is not written a second time.
    void anAbandonedGameIsKeptOnce() {
        f.view->engineMoves = {"d4", "c4"};
        newGame(White, TimeControl::even(5, 0));
        play("d5");
        QVERIFY(f.view->ConfirmDiscardGame());
        const QString text = kept();
        QCOMPARE(gameCount(text), 1);
        QVERIFY(text.contains("[White \"" + engineName() + "\"]"));
        QVERIFY(text.contains("[Result \"*\"]"));
        QVERIFY(text.contains("[Termination \"abandoned\"]"));
        QVERIFY(text.contains("[TimeControl \"300\"]"));
        QVERIFY(text.contains("d5 {[%clk "));
        QVERIFY(f.view->ConfirmDiscardGame());
        newGame(Black);
        QCOMPARE(gameCount(kept()), 1);
    }

    // A crash cuts a game off before it is kept: the next start keeps it from the recovery file
    // as abandoned, once, whether or not the user restores it. A game kept at its end before
    // the crash is not kept again.
    void aGameCutOffByACrashIsKeptAtTheNextStart() {
        const QString recovery = scratch->filePath("recovery.pgn");
        f.view->SetRecoveryPath(recovery);
        newGame(Black);
        f.view->engineMoves = {"e5"};
        play("e4");
        f.view->yesAnswer = true;
        f.view->OnResign();
        QCOMPARE(gameCount(kept()), 1);
        QVERIFY(!recoveryUnkept(recovery));
        f.view->yesAnswer = false;
        QVERIFY(!f.view->OfferRecovery());
        QCOMPARE(gameCount(kept()), 1);

        QVERIFY(f.view->ConfirmDiscardGame());
        newGame(Black);
        f.view->engineMoves = {"c5"};
        play("e4");
        QVERIFY(recoveryUnkept(recovery));
        // The process dies here; the next start finds the files as they are, and the user
        // declines to restore the game.
        QVERIFY(!f.view->OfferRecovery());
        const QString text = kept();
        QCOMPARE(gameCount(text), 2);
        QVERIFY(text.contains("1.e4 c5 *"));
        QVERIFY(text.mid(text.lastIndexOf("[Event ")).contains("[Termination \"abandoned\"]"));
        QVERIFY(!QFile::exists(recovery));
        QVERIFY(!recoveryUnkept(recovery));
        QVERIFY(!f.view->OfferRecovery());
        QCOMPARE(gameCount(kept()), 2);
    }

    // Nothing is kept of a game left before the user moved, nor of game entry.
    void gamesWithoutPlayAreNotKept() {
        QVERIFY(f.view->ConfirmDiscardGame());
        f.view->engineMoves = {"e4"};
        newGame(White);
        QVERIFY(f.view->ConfirmDiscardGame());
        newGame(EngineNone);
        play("e4");
        QVERIFY(f.view->ConfirmDiscardGame());
        QVERIFY(!QFile::exists(gamesPath));
    }

    // Without the setting the games file is games.pgn in the user's data folder.
    void theDefaultFileIsInTheDataFolder() {
        QSettings().remove(GamesFileKey);
        const QString expected =
            QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).filePath("games.pgn");
        QCOMPARE(gamesFilePath(), expected);
        QFile::remove(expected);
        newGame(Black);
        f.view->engineMoves = {"e5"};
        play("e4");
        f.view->OnEndGame();
        QCOMPARE(QFile::exists(expected), true);
        QFile file(expected);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(gameCount(QString::fromUtf8(file.readAll())), 1);
        QFile::remove(expected);
    }
};

NORVANE_TEST(KeptGamesTest);
#include "keptgames_test.moc"
