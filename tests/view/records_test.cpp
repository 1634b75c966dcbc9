// The commands on the current game as text: the clipboard, the shown record, saving, and the
// game-information dialog with its other-tags rules.
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstring>
#include <string>

#include "tests/qtestmain.h"
#include "tests/view/playflow_fixture.h"
#include "resources/viewtexts.h"
#include "view/othertags.h"

namespace {

const char* const GameFile = "kasparov-deep-blue-1997.pgn";

QString clipboardText() { return QGuiApplication::clipboard()->text(); }
void    setClipboardText(const QString& text) { QGuiApplication::clipboard()->setText(text); }

// The current game's tags, information word and moves, to compare games.
std::string gameSnapshot() {
    std::string s;
    for (const char* field : {gameHeader.event, gameHeader.site, gameHeader.date, gameHeader.round,
                              gameHeader.white, gameHeader.black, gameHeader.fen, gameHeader.otherTags})
        s += std::string(field) + "|";
    s += std::to_string(gameHeader.info) + "|";
    for (int i = 0; i < MaxGameMoves && gameMoves[i].piece; ++i)
        s += std::to_string(gameMoves[i].fromTo) + "/" + std::to_string(gameMoves[i].flags) + " ";
    return s;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class RecordsTest : public QObject {
    Q_OBJECT
    PlayFixture f;

    void openGame() { QVERIFY(openFile(*f.doc, privateCopy(GameFile))); }

private slots:
    void init() {
        f.make();
        QVERIFY(f.doc->NewDocumentFile());
    }
    void cleanup() { f.destroy(); }

    void copyBoardGivesTheFenLine() {
        f.view->OnCopyBoard();
        QCOMPARE(clipboardText(),
                 QString("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"));
        // The move number follows the game's moves, not the research line's.
        openGame();
        f.view->OnForward();
        f.view->OnForward();
        f.view->OnResearch();
        QVERIFY(clickMove(f.view, "Nc3"));
        f.view->OnCopyBoard();
        QCOMPARE(clipboardText(),
                 QString("rnbqkbnr/ppp1pppp/8/3p4/8/2N2N2/PPPPPPPP/R1BQKB1R b KQkq - 0 2"));
    }

    void aGameRecordRoundTripsThroughTheClipboardWithCrLf() {
        openGame();
        for (int i = 0; i < 7; ++i)
            f.view->OnForward();
        const std::uint64_t shown = board.hashKey;
        const std::string   game  = gameSnapshot();
        f.view->OnCopyGame();
        const QString text = clipboardText();
        QVERIFY(text.startsWith("[Event \"IBM Man-Machine, New York USA\"]\r\n[Site \"01\"]\r\n"));
        QVERIFY(text.contains("\r\n\r\n1.Nf3 d5 2.g3 Bg4"));
        QVERIFY(text.endsWith("g7 1-0\r\n\r\n"));
        QCOMPARE(text.count('\n'), text.count("\r\n"));
        // The shown position is back after writing the record.
        QCOMPARE(board.hashKey, shown);
        QCOMPARE(gamePly, 7);

        QVERIFY(f.doc->NewDocumentFile());
        QCOMPARE(gameMoves[0].piece, std::int16_t(0));
        f.view->OnPasteGame();
        QCOMPARE(gameSnapshot(), game);
        QCOMPARE(f.view->m_mode, ModeViewing);
        QCOMPARE(gamePly, 0);
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
    }

    void pastedTextIsReadWholeUpToTheLimit() {
        // A game longer than 8 KB: 500 half-moves of knights and long tag values.
        QString text = "[Event \"" + QString(200, 'e') + "\"]\r\n[White \"" + QString(200, 'w') +
                       "\"]\r\n[Result \"1/2-1/2\"]\r\n[Annotator \"" + QString(200, 'a') +
                       "\"]\r\n\r\n";
        const char* shuffle[4] = {"Nf3", "Nf6", "Ng1", "Ng8"};
        for (int i = 0; i < 500; ++i) {
            if (i % 2 == 0) text += QString("%1.").arg(i / 2 + 1);
            text += QString(shuffle[i % 4]) + " {" + QString(20, 'c') + "} ";
        }
        text += "1/2-1/2\r\n";
        QVERIFY(text.toUtf8().size() > 8192);
        setClipboardText(text);
        f.view->OnPasteGame();
        QVERIFY(f.view->messages.isEmpty());
        QCOMPARE(gameHeader.info & ResultMask, Drawn);
        QCOMPARE(QString(f.view->m_gameSan[499]), QString("Ng8"));
        QCOMPARE(f.view->m_gameSan[500][0], '\0');

        // Beyond the limit nothing is read and the user is told why.
        const std::string before = gameSnapshot();
        setClipboardText(QString(int(PasteLimit) + 1, ' '));
        f.view->OnPasteGame();
        QCOMPARE(f.view->messages.size(), 1);
        QVERIFY(f.view->messages[0].contains(QString::number(PasteLimit)));
        QCOMPARE(gameSnapshot(), before);
    }

    void pastingGarbageLeavesAConsistentBoard_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("game");      // the text holds a game, read at least in part
        QTest::addColumn<QString>("message"); // what the user is told; empty: nothing
        const QString noGame = QString::fromUtf8(ViewText::PasteNoGame);
        QTest::newRow("words") << "hello, world" << false << noGame;
        QTest::newRow("brackets") << "]]][[[ \"\"\" [Event \"x [[ \" ]] 1. e9 Qz4 {{ ((( " << false << noGame;
        QTest::newRow("illegal move") << "[Event \"x\"]\n\n1.e4 e5 2.Ke3 *" << true
                                      << QString::fromUtf8(ViewText::GameBadMove).arg("2.", "Ke3");
        QTest::newRow("binary") << QString::fromLatin1("\x01\x02\xff\xfe[\x7f\"", 7) << false << noGame;
        QTest::newRow("only tags") << "[White \"a\"][Black \"b\"]" << true << QString();
        QTest::newRow("last move without a space") << "[White \"a\"]\n\n1. e4 e5 2. Nf3" << true << QString();
    }

    void pastingGarbageLeavesAConsistentBoard() {
        QFETCH(QString, text);
        QFETCH(bool, game);
        QFETCH(QString, message);
        QVERIFY(clickMove(f.view, "e4"));
        const std::string played = gameSnapshot();
        const int         mode   = f.view->m_mode;
        f.view->messages.clear();
        setClipboardText(text);
        f.view->OnPasteGame();
        QCOMPARE(f.view->messages, message.isEmpty() ? QStringList() : QStringList{message});
        if (game) {
            QCOMPARE(f.view->m_mode, ModeViewing);
            QCOMPARE(gamePly, 0);
        } else {
            // The game on the board stays as it was.
            QCOMPARE(gameSnapshot(), played);
            QCOMPARE(f.view->m_mode, mode);
        }
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
        f.view->OnLast();
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
        // An empty clipboard does nothing at all.
        const std::string before = gameSnapshot();
        setClipboardText(QString());
        f.view->OnPasteGame();
        QCOMPARE(gameSnapshot(), before);
    }

    void showRecordShowsTheStartOfTheRecord() {
        openGame();
        f.view->OnLast();
        const std::uint64_t shown = board.hashKey;
        f.view->OnShowRecord();
        QCOMPARE(f.view->messages.size(), 1);
        const QString text = f.view->messages[0];
        QVERIFY(text.startsWith("[Event \"IBM Man-Machine, New York USA\"]\n"));
        QVERIFY(!text.contains('\r'));
        QVERIFY(text.toUtf8().size() <= 1279);
        QCOMPARE(board.hashKey, shown);
        // A cut inside a Japanese name still shows Japanese, not broken bytes.
        const QByteArray name = QString(300, QChar(0x68CB)).toUtf8(); // 棋 x 300, cut at 255
        for (char* field : {gameHeader.event, gameHeader.site, gameHeader.date, gameHeader.round,
                            gameHeader.white}) {
            qstrncpy(field, name.constData(), TagFieldSize);
        }
        f.view->OnShowRecord();
        QVERIFY(f.view->messages[1].contains(QString(10, QChar(0x68CB))));
    }

    void saveAppendsTheGameAndKeepsItsBytes() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("games.pgn");
        {
            QFile existing(path);
            QVERIFY(existing.open(QIODevice::WriteOnly));
            existing.write("[Event \"old\"]\r\n\r\n1.e4 *\r\n\r\n");
        }
        openGame();
        f.view->OnForward();
        // A name read as Latin-1 bytes is written back as those bytes.
        std::strcpy(gameHeader.white, "Ren\xe9");
        f.view->savePath = path;
        f.view->OnSave();
        f.view->OnSave();
        QVERIFY(f.view->messages.isEmpty());
        const QByteArray bytes = fileBytes(path);
        QVERIFY(bytes.startsWith("[Event \"old\"]\r\n\r\n1.e4 *\r\n\r\n[Event \"IBM"));
        QCOMPARE(bytes.count("[White \"Ren\xe9\"]\r\n"), 2);
        QCOMPARE(bytes.count("1-0\r\n\r\n"), 2);
        QCOMPARE(gamePly, 1);

        // Reading it back gives the same game.
        QVERIFY(openFile(*f.doc, path));
        QCOMPARE(f.doc->m_games.size(), std::size_t(3));
        QVERIFY(f.doc->LoadGame(&f.doc->m_games[1]));
        QCOMPARE(QByteArray(gameHeader.white), QByteArray("Ren\xe9"));
    }

    void aSaveThatFailsSaysSo_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("says");
        QTest::newRow("no such folder") << "/nonexistent-folder/games.pgn"
                                        << "開けません";
        QTest::newRow("a folder") << "/tmp"
                                  << "開けません";
        // Made in a scratch folder below: a FIFO, whose open would wait for a reader, and a
        // file that may grow by one byte only, whose write fails half way.
        QTest::newRow("a FIFO") << "fifo"
                                << "通常のファイルではありません";
        QTest::newRow("a device") << "/dev/null"
                                  << "通常のファイルではありません";
        QTest::newRow("no room") << "no room"
                                 << "書き込めません";
    }

    void aSaveThatFailsSaysSo() {
        QFETCH(QString, path);
        QFETCH(QString, says);
        QTemporaryDir    folder;
        const QByteArray old = "[Event \"old\"]\r\n\r\n1.e4 *\r\n\r\n";
        rlimit           limit{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &limit) == 0);
        const rlimit unlimited = limit;
        if (path == "fifo") {
            path = folder.filePath("games.pgn");
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        } else if (path == "no room") {
            path = folder.filePath("games.pgn");
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
            file.close();
            std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead
            limit.rlim_cur = static_cast<rlim_t>(old.size() + 1);
        }
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
        f.view->savePath = path;
        f.view->OnSave();
        QVERIFY(setrlimit(RLIMIT_FSIZE, &unlimited) == 0);
        QCOMPARE(f.view->messages.size(), 1);
        QVERIFY2(f.view->messages[0].contains(says), qPrintable(f.view->messages[0]));
        QVERIFY(f.view->messages[0].contains(path));
        // No half game stays behind.
        if (QFileInfo(path).isFile()) QCOMPARE(fileBytes(path), old);
        // Cancelling the file dialog does nothing.
        f.view->savePath.clear();
        f.view->OnSave();
        QCOMPARE(f.view->messages.size(), 1);
    }

    void gameInformationEditsTheTags() {
        openGame();
        GameInfoValues seen;
        f.view->gameInfo = [&](GameInfoValues& v) {
            seen        = v;
            v.white     = QString::fromUtf8("羽生 善治");
            v.round     = "";
            v.result    = 2;
            v.eco       = "B20";
            v.otherTags = v.otherTags + "junk [ Time Control \"40/7200\" ] [Bad";
            return true;
        };
        std::strcpy(gameHeader.black, "M\xfcller"); // Latin-1 bytes, left unchanged
        f.view->OnEditGameInfo();
        QCOMPARE(seen.event, QString("IBM Man-Machine, New York USA"));
        QCOMPARE(seen.black, QString::fromUtf8("Müller"));
        QCOMPARE(seen.result, 3);
        QCOMPARE(seen.eco, QString("A06"));
        QCOMPARE(
            seen.otherTags,
            QString("[EventDate \"?\"]\n[WhiteElo \"?\"]\n[BlackElo \"?\"]\n[PlyCount \"89\"]\n"));

        QCOMPARE(QByteArray(gameHeader.white), QString::fromUtf8("羽生 善治").toUtf8());
        QCOMPARE(QByteArray(gameHeader.black), QByteArray("M\xfcller"));
        QCOMPARE(QByteArray(gameHeader.round), QByteArray());
        QCOMPARE(QByteArray(gameHeader.site), QByteArray("01"));
        QCOMPARE(int(gameHeader.info), Drawn | 120);
        QCOMPARE(
            QByteArray(gameHeader.otherTags),
            QByteArray("[EventDate \"?\"]\n[WhiteElo \"?\"]\n[BlackElo \"?\"]\n[PlyCount \"89\"]\n"
                       "[TimeControl \"40/7200\"]\n"));

        // Cancel changes nothing.
        const std::string before = gameSnapshot();
        f.view->gameInfo         = [](GameInfoValues& v) {
            v.white = "x";
            return false;
        };
        f.view->OnEditGameInfo();
        QCOMPARE(gameSnapshot(), before);
    }

    void resultAndEcoFromTheDialog_data() {
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("eco");
        QTest::addColumn<int>("info");
        QTest::newRow("white won, E99") << 3 << "E99" << (WhiteWon | 499);
        QTest::newRow("black won, A00") << 1 << "A00" << (BlackWon | 0);
        QTest::newRow("unfinished, no code") << 0 << "" << NoEco;
        QTest::newRow("lower-case letter") << 2 << "c45" << (Drawn | NoEco);
        QTest::newRow("letter past E") << 0 << "F10" << NoEco;
        QTest::newRow("one digit") << 0 << "B2" << NoEco;
        QTest::newRow("letter in the digits") << 0 << "B2x" << NoEco;
    }

    void resultAndEcoFromTheDialog() {
        QFETCH(int, result);
        QFETCH(QString, eco);
        QFETCH(int, info);
        gameHeader.info  = WhiteWon | Matched | 77;
        f.view->gameInfo = [&](GameInfoValues& v) {
            v.result = result;
            v.eco    = eco;
            return true;
        };
        f.view->OnEditGameInfo();
        QCOMPARE(int(gameHeader.info), info);
    }

    void otherTagsAreReadAsPairs_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("tags");
        QTest::addColumn<bool>("ok");
        const QByteArray name255(255, 'n'), value255(255, 'v');
        QTest::newRow("pairs with CR LF") << QByteArray("[A \"1\"]\r\n[B \"2\"]\r\n")
                                          << QByteArray("[A \"1\"]\n[B \"2\"]\n") << true;
        QTest::newRow("blanks in the name are skipped")
            << QByteArray("[ Time\tControl  \"40/7200\" extra ]")
            << QByteArray("[TimeControl \"40/7200\"]\n") << true;
        QTest::newRow("text between pairs is skipped")
            << QByteArray("x [A \"1\"] y ] \" [B \"\"]") << QByteArray("[A \"1\"]\n[B \"\"]\n")
            << true;
        QTest::newRow("an unfinished pair is dropped")
            << QByteArray("[A \"1\"] [B \"2") << QByteArray("[A \"1\"]\n") << true;
        QTest::newRow("255 characters") << "[" + name255 + " \"" + value255 + "\"]"
                                        << "[" + name255 + " \"" + value255 + "\"]\n"
                                        << true;
        QTest::newRow("a name too long ends the text")
            << "[A \"1\"][" + name255 + "n \"x\"][B \"2\"]" << QByteArray("[A \"1\"]\n") << false;
        QTest::newRow("a value too long ends the text")
            << "[A \"" + value255 + "v\"][B \"2\"]" << QByteArray() << false;
    }

    void otherTagsAreReadAsPairs() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, tags);
        QFETCH(bool, ok);
        char out[OtherTagsSize];
        QCOMPARE(readOtherTags(text.constData(), std::size_t(text.size()), out, sizeof out), ok);
        QCOMPARE(QByteArray(out), tags);
    }

    void otherTagsKeepOnlyWholePairsThatFit() {
        // Pairs of 99 bytes each: twenty fit in the 2048-byte field, the 21st does not.
        QByteArray text;
        for (int i = 0; i < 21; ++i)
            text += "[T" + QByteArray::number(10 + i) + " \"" + QByteArray(90, 'v') + "\"]";
        char out[OtherTagsSize];
        readOtherTags(text.constData(), std::size_t(text.size()), out, sizeof out);
        const QByteArray written(out);
        QCOMPARE(written.count('\n'), 20);
        QVERIFY(written.endsWith("\"]\n"));
        QCOMPARE(out[sizeof out - 1], '\0');
    }
};

NORVANE_TEST(RecordsTest);
#include "records_test.moc"
