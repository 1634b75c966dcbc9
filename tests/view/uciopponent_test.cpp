// A game against a UCI engine run as a process: a script engine that answers fixed moves (its
// moves played, the clock and the strength it is given, a bad answer stopping the game with the
// user told and the game kept), and a short real game against the built-in binary run as a UCI
// engine under a small clock.
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/enginemessages.h"
#include "app/gamesfile.h"
#include "app/opponentengine.h"
#include "engine/coords.h"
#include "resources/gametexts.h"
#include "tests/app/scriptengine.h"
#include "tests/qtestmain.h"
#include "tests/view/playflow_fixture.h"

namespace {

constexpr int WaitMs = 20000;

// An engine that offers a rating, writes every line it is sent to LOG, and answers its searches
// in turn with the moves given (the last one for every search after): at once, or only when
// told to stop.
QByteArray scriptEngine(const QString& log, const QStringList& answers, bool waitsForStop = false) {
    QByteArray cases;
    for (int i = 0; i < answers.size(); ++i)
        cases += QByteArray::number(i + 1) + ") m='" + answers[i].toUtf8() + "';; ";
    const QByteArray answer = "echo \"info depth 3 score cp -20 pv $m\"; echo \"bestmove $m\"";
    return "n=0\n"
           "while read line; do\n"
           "  echo \"$line\" >> '" +
           log.toUtf8() +
           "'\n"
           "  case $line in\n"
           "    uci) echo 'id name Scripted'\n"
           "         echo 'option name UCI_LimitStrength type check default false'\n"
           "         echo 'option name UCI_Elo type spin default 1350 min 1350 max 2850'\n"
           "         echo uciok;;\n"
           "    isready) echo readyok;;\n"
           "    go*) n=$((n+1)); case $n in " +
           cases + "*) ;; esac\n" + (waitsForStop ? QByteArray() : "         " + answer + "\n") +
           "         ;;\n"
           "    stop) " +
           (waitsForStop ? answer : QByteArray(":")) +
           ";;\n"
           "    quit) exit 0;;\n"
           "  esac\n"
           "done\n";
}

// The first legal move of the side to move, in SAN.
std::string someLegalMove() {
    for (int from = 0; from < 64; ++from)
        for (int to = 0; to < 64; ++to) {
            char text[6] = {char('a' + from % 8),
                            char('1' + from / 8),
                            char('a' + to % 8),
                            char('1' + to / 8),
                            0,
                            0};
            Move m{};
            if (!coordsToMove(text, &m) && !(text[4] = 'q', coordsToMove(text, &m))) continue;
            char san[16] = {};
            moveToSan(m, san);
            return san;
        }
    return {};
}

} // namespace

class UciOpponentTest : public QObject {
    Q_OBJECT
    PlayFixture                    f;
    std::unique_ptr<QTemporaryDir> scratch;
    QString                        log;

    // The user's move, then the engine's answer (or its failure) waited for.
    void play(const char* san) {
        QVERIFY(clickMove(f.view, san));
        QTRY_VERIFY_WITH_TIMEOUT(!f.view->IsThinking(), WaitMs);
    }
    QStringList sent() const {
        QFile file(log);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split('\n')
                                              : QStringList();
    }
    QString kept() const {
        QFile file(gamesFilePath());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    // The engine called name, at program, among the user's engines; the next game against it.
    void chooseEngine(const QString& name, const QString& program, const OpponentChoice& strength) {
        EngineEntry entry;
        entry.name    = name;
        entry.program = program;
        storeEngines({entry});
        OpponentChoice choice = strength;
        choice.engine         = name;
        f.view->m_opponent    = choice;
    }

private slots:
    void init() {
        scratch = std::make_unique<QTemporaryDir>();
        log     = scratch->filePath("sent.txt");
        QSettings().setValue(GamesFileKey, scratch->filePath("games.pgn"));
        f.make();
        f.view->waitForEngine = false;
        QVERIFY(f.doc->NewDocumentFile());
    }
    void cleanup() {
        f.destroy();
        storeEngines({});
        QSettings().remove(GamesFileKey);
        scratch.reset();
    }

    // The engine's moves are played; it is given its strength, a new game, the game's moves
    // and both clocks; a third answer that is garbage or not legal stops the game, the user is
    // told why, the clock stops and the game stays on the board and in the games file.
    void aScriptEngineIsTheOpponent_data() {
        QTest::addColumn<QString>("third");
        QTest::addColumn<QString>("message");
        UciError garbage{UciErrorKind::Garbage, ""};
        QTest::newRow("garbage") << "Zz9" << engineErrorText("Scripted", garbage);
        QTest::newRow("illegal")
            << "e7e5" << QString::fromUtf8(GameText::IllegalEngineMove).arg("Scripted", "e7e5");
        QTest::newRow("none")
            << "(none)" << QString::fromUtf8(GameText::IllegalEngineMove).arg("Scripted", "(none)");
    }
    void aScriptEngineIsTheOpponent() {
        QFETCH(QString, third);
        QFETCH(QString, message);
        const QString program =
            writeScript(*scratch, "engine", scriptEngine(log, {"e7e5", "b8c6", third}));
        chooseEngine("Scripted", program, {{}, OpponentChoice::Elo, 1500, 0});
        f.view->m_timeControl = TimeControl::even(5, 3);
        f.view->newGameChoice = Black;
        f.view->OnNewGame();
        QCOMPARE(QString::fromUtf8(gameHeader.black), QString("Scripted (Elo 1500)"));
        QVERIFY(f.view->OpponentProcess() != nullptr); // started with the game

        play("e4");
        QCOMPARE(gamePly, 2);
        QCOMPARE(QString::fromLatin1(f.view->m_gameSan[1]), QString("e5"));
        QCOMPARE(board.sideToMove, White);
        QVERIFY(f.view->ClockRunning());
        play("Nf3");
        QCOMPARE(QString::fromLatin1(f.view->m_gameSan[3]), QString("Nc6"));

        const QStringList lines = sent();
        QVERIFY(lines.contains("setoption name UCI_LimitStrength value true"));
        QVERIFY(lines.contains("setoption name UCI_Elo value 1500"));
        QVERIFY(lines.indexOf("ucinewgame") > lines.indexOf("setoption name UCI_Elo value 1500"));
        QVERIFY(lines.contains("position startpos moves e2e4"));
        QVERIFY(lines.contains("position startpos moves e2e4 e7e5 g1f3"));
        const QStringList goes = lines.filter(QRegularExpression("^go "));
        QCOMPARE(goes.size(), 2);
        for (const QString& go : goes)
            QVERIFY2(QRegularExpression("^go wtime \\d+ btime \\d+ winc 3000 binc 3000$")
                         .match(go)
                         .hasMatch(),
                     qPrintable(go));

        play("Bb5");
        QCOMPARE(f.view->messages.back(),
                 QString::fromUtf8(GameText::GameInterrupted).arg(message));
        QVERIFY(f.view->m_mode & ModeViewing);
        QVERIFY(!f.view->ClockRunning());
        QVERIFY(f.view->OpponentProcess() == nullptr);
        QCOMPARE(gamePly, 5);
        QVERIFY(kept().contains("[Black \"Scripted (Elo 1500)\"]"));
        QVERIFY2(kept().contains("3.Bb5") && kept().contains("[Termination \"abandoned\"]"),
                 qPrintable(kept()));
    }

    // Without a clock the engine is given the desktop's budget as a fixed time; "move now"
    // sends stop and plays the engine's answer at the game's end, wherever the user looks; a
    // game left ends the engine.
    void withoutAClockTheEngineHasAFixedTime() {
        const QString program = writeScript(*scratch, "engine", scriptEngine(log, {"e7e5"}, true));
        chooseEngine("Scripted", program, {});
        f.view->m_timeControl = TimeControl{};
        f.view->newGameChoice = Black;
        f.view->OnNewGame();
        QCOMPARE(QString::fromUtf8(gameHeader.black), QString("Scripted"));
        QVERIFY(clickMove(f.view, "e4"));
        QTRY_VERIFY_WITH_TIMEOUT(sent().contains(QString("go movetime %1").arg(HardTimeLimitMs)),
                                 WaitMs);
        QVERIFY(f.view->IsThinking());
        // The user looks back at the start while the engine thinks: its answer is still played
        // at the game's end, and the board goes there.
        f.view->StepBack();
        QCOMPARE(gamePly, 0);
        f.view->OnMoveNow();
        QTRY_VERIFY_WITH_TIMEOUT(!f.view->IsThinking(), WaitMs);
        QCOMPARE(sent().filter("stop").size(), 1);
        QCOMPARE(QString::fromLatin1(f.view->m_gameSan[1]), QString("e5"));
        QCOMPARE(gamePly, 2);
        QVERIFY(sent().contains("setoption name UCI_LimitStrength value false"));
        f.view->OnEndGame();
        QVERIFY(f.view->OpponentProcess() == nullptr);
    }

    // An engine that cannot start is told at New; the board is left for viewing, no clock runs.
    void anEngineThatCannotStart() {
        chooseEngine("Missing", scratch->filePath("no-such-engine"), {});
        f.view->m_timeControl = TimeControl::even(5, 0);
        f.view->newGameChoice = White;
        f.view->OnNewGame();
        QTRY_VERIFY_WITH_TIMEOUT(!f.view->messages.isEmpty(), WaitMs);
        QVERIFY2(f.view->messages.back().startsWith("エンジン「Missing」を起動できません"),
                 qPrintable(f.view->messages.back()));
        QVERIFY(f.view->m_mode & ModeViewing);
        QVERIFY(!f.view->ClockRunning());
        QVERIFY(!f.view->IsThinking());
        QCOMPARE(gamePly, 0);
    }

    // A flag that falls while the engine thinks ends the game on time: the engine is told to
    // stop, its late answer is not played, and its process ends with the game.
    void aFlagFallsWhileTheEngineThinks() {
        const QString program = writeScript(*scratch, "engine",
                                            "while read line; do\n"
                                            "  echo \"$line\" >> '" +
                                                log.toUtf8() +
                                                "'\n"
                                                "  case $line in\n"
                                                "    uci) echo uciok;; isready) echo readyok;; "
                                                "stop) echo 'bestmove e7e5';; quit) exit 0;;\n"
                                                "  esac\n"
                                                "done\n");
        chooseEngine("Slow", program, {});
        f.view->m_timeControl             = TimeControl::even(5, 0);
        f.view->m_timeControl.side[Black] = {500, 0};
        f.view->newGameChoice             = Black;
        f.view->OnNewGame();
        play("e4");
        QTRY_VERIFY_WITH_TIMEOUT(f.view->m_mode & ModeViewing, WaitMs);
        QCOMPARE(f.view->EndReason(), QString::fromUtf8(GameText::WhiteWinsOnTime));
        QTRY_VERIFY_WITH_TIMEOUT(sent().contains("stop"), WaitMs);
        // The engine's session is gone with the game: its answer has nowhere to go.
        QVERIFY(f.view->OpponentProcess() == nullptr);
        QCOMPARE(gamePly, 1);
    }

    // A short real game against a real engine run as a UCI process, with the engine as White
    // and a small clock: its moves are played in turn and nothing fails. The built-in binary
    // (kept engines carry no arguments: a script runs it with its "uci"), and Stockfish at a
    // rating where it is installed.
    void aRealEngineUnderASmallClock_data() {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("strength");
        QTest::addColumn<QString>("name");
        QTest::newRow("built-in binary") << "norvane" << int(OpponentChoice::Full) << "Norvane UCI";
        QTest::newRow("Stockfish")
            << "stockfish" << int(OpponentChoice::Elo) << "Stockfish (Elo 1500)";
    }
    void aRealEngineUnderASmallClock() {
        QFETCH(QString, engine);
        QFETCH(int, strength);
        QFETCH(QString, name);
        if (engine == "norvane") {
            const QString program = writeScript(*scratch, "norvane-uci",
                                                QByteArray("exec '") + NORVANE_CLI + "' uci\n");
            chooseEngine("Norvane UCI", program, {});
        } else {
            const EngineEntry stockfish = installedStockfish();
            if (stockfish.program.isEmpty()) QSKIP("Stockfish is not installed");
            storeEngines({});
            f.view->m_opponent = {stockfish.name, OpponentChoice::Strength(strength), 1500, 0};
        }
        f.view->m_timeControl             = TimeControl{};
        f.view->m_timeControl.side[White] = f.view->m_timeControl.side[Black] = {10000, 100};
        f.view->newGameChoice                                                 = White;
        f.view->promotionAnswers.assign(8, PromoteQueen);
        f.view->OnNewGame();
        QTRY_VERIFY_WITH_TIMEOUT(!f.view->IsThinking(), WaitMs);
        while (gamePly < 6 && (f.view->m_mode & ModePlaying)) {
            QCOMPARE(board.sideToMove, Black);
            play(someLegalMove().c_str());
        }
        QVERIFY2(gamePly >= 6, qPrintable(f.view->messages.join(" | ")));
        for (const QString& shown : f.view->messages)
            QVERIFY2(
                !shown.contains(QString::fromUtf8(GameText::GameInterrupted).arg("").trimmed()),
                qPrintable(shown));
        QCOMPARE(QString::fromUtf8(gameHeader.white), name);
    }
};

NORVANE_TEST(UciOpponentTest);
#include "uciopponent_test.moc"
