// What pasting and loading say: move text without tags loads as a game from the start, a FEN
// that cannot stand says why, and a file's game that cannot be replayed says why.
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include <string>

#include "engine/makemove.h"
#include "records/san.h"
#include "tests/qtestmain.h"
#include "tests/view/playflow_fixture.h"

namespace {

// The current game's moves in SAN, from its start.
std::string gameLine() {
    setupGameStart();
    std::string line;
    for (int i = 0; i < MaxGameMoves && gameMoves[i].piece; ++i) {
        char san[8] = {};
        moveToSan(gameMoves[i], san);
        if (!line.empty()) line.push_back(' ');
        line.append(san);
        makeMove(gameMoves[i]);
    }
    setupGameStart();
    return line;
}

// A document whose messages are recorded instead of shown.
class QuietDoc : public CNorvaneDoc {
public:
    QStringList messages;
    void        MessageBox(const QString& text) override { messages << text; }
};

} // namespace

class PasteLoadTest : public QObject {
    Q_OBJECT
    PlayFixture f;

private slots:
    void init() {
        f.make();
        QVERIFY(f.doc->NewDocumentFile());
    }
    void cleanup() { f.destroy(); }

    void pasteSaysWhatItDid_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("moves"); // the game's moves after; empty: the game before stays
        QTest::addColumn<QString>("says");  // part of the one message; empty: none
        QTest::newRow("numbered moves") << "1. e4 c5 2. Nf3 d6 *" << "e4 c5 Nf3 d6" << "";
        QTest::newRow("bare moves") << "e4 c5 Nf3" << "e4 c5 Nf3" << "";
        QTest::newRow("four bare moves") << "e4 c5 Nf3 Nc6" << "e4 c5 Nf3 Nc6" << "";
        QTest::newRow("moves on lines") << "1.d4 d5\n2.c4 e6\n" << "d4 d5 c4 e6" << "";
        QTest::newRow("the side not to move in check")
            << "4k3/8/8/8/8/8/8/4R1K1 w - - 0 1" << "" << "手番でない側のキングがチェックされています";
        QTest::newRow("without counters") << "4k3/8/8/8/8/8/8/4R1K1 w - -" << ""
                                          << "手番でない側のキングがチェックされています";
        QTest::newRow("a pawn on the last rank")
            << "4k2P/8/8/8/8/8/8/4K3 w - - 0 1" << "" << "ポーンが1段目か8段目にあります";
        QTest::newRow("a pawn on the first rank")
            << "4k3/8/8/8/8/8/8/p3K3 b - - 0 1" << "" << "ポーンが1段目か8段目にあります";
        QTest::newRow("no black king") << "8/8/8/8/8/8/8/4K3 w - - 0 1" << "" << "キングがないか、多すぎます";
        QTest::newRow("two white kings") << "4k3/8/8/8/8/8/8/3KK3 w - - 0 1" << ""
                                         << "キングがないか、多すぎます";
        QTest::newRow("a castling right without its king") << "4k3/8/8/8/8/8/8/3K4 w K - 0 1" << ""
                                              << "キャスリング";
        QTest::newRow("a move that cannot be read") << "1. e4 e5 2. Ke3 *" << "e4 e5" << "2. Ke3";
        QTest::newRow("no game") << "hello there" << "" << "棋譜を読み込めませんでした";
    }

    void pasteSaysWhatItDid() {
        QFETCH(QString, text);
        QFETCH(QString, moves);
        QFETCH(QString, says);
        // The game before: one of the file's.
        QVERIFY(openFile(*f.doc, privateCopy("kasparov-deep-blue-1997.pgn")));
        const std::string before = gameLine();
        QGuiApplication::clipboard()->setText(text);
        f.view->OnPasteGame();
        QCOMPARE(f.view->messages.size(), says.isEmpty() ? 0 : 1);
        if (!says.isEmpty()) QVERIFY2(f.view->messages[0].contains(says), qPrintable(f.view->messages[0]));
        if (moves.isEmpty()) {
            QCOMPARE(gameLine(), before);
            QVERIFY(f.view->messages[0].contains(QString::fromUtf8("盤面の棋譜はそのままです")));
        } else {
            QCOMPARE(QString::fromStdString(gameLine()), moves);
            QCOMPARE(QByteArray(gameHeader.fen), QByteArray()); // from the start
            QCOMPARE(f.view->m_mode & ModeViewing, ModeViewing);
        }
    }

    void loadingAGameThatCannotBeReplayedSaysWhy() {
        QTemporaryDir dir;
        const QString path = dir.filePath("problems.pgn");
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("[Event \"fine\"]\n\n1. e4 e5 *\n\n"
                       "[Event \"960\"]\n[Variant \"Chess960\"]\n[SetUp \"1\"]\n"
                       "[FEN \"bqnrkrnb/pppppppp/8/8/8/8/PPPPPPPP/BQNRKRNB w KQkq - 0 1\"]\n\n1. d4 *\n\n"
                       "[Event \"in check\"]\n[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/8/4R1K1 w - - 0 1\"]\n\n1. Kg2 *\n\n"
                       "[Event \"pawn\"]\n[SetUp \"1\"]\n[FEN \"4k2P/8/8/8/8/8/8/4K3 w - - 0 1\"]\n\n1. Kd2 *\n\n"
                       "[Event \"bad move\"]\n\n1. e4 e5 2. Qxf7 *\n\n");
        }
        QuietDoc doc;
        QVERIFY(openFile(doc, path));
        QCOMPARE(doc.m_games.size(), std::size_t(5));
        const QString expected[5] = {
            "",
            QString::fromUtf8("標準のチェスではない"),
            QString::fromUtf8("手番でない側のキングがチェックされています"),
            QString::fromUtf8("ポーンが1段目か8段目にあります"),
            "2. Qxf7",
        };
        for (int i = 0; i < 5; ++i) {
            doc.messages.clear();
            doc.LoadGame(&doc.m_games[static_cast<std::size_t>(i)]);
            QCOMPARE(doc.messages.size(), expected[i].isEmpty() ? 0 : 1);
            if (!expected[i].isEmpty())
                QVERIFY2(doc.messages[0].contains(expected[i]), qPrintable(doc.messages[0]));
            // Only a game read whole may replace its own bytes in the file (上書き保存).
            QCOMPARE(doc.HoldsLoadedGame(), expected[i].isEmpty());
        }
        clearGame();
    }
};

NORVANE_TEST(PasteLoadTest);

#include "pasteload_test.moc"
