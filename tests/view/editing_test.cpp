// Editing the game's tree on the desktop: saving keeps every comment and side line, and each
// edit (a research line kept, promoted, deleted, moves deleted, a comment, a mark) is undone
// and redone with the modified mark following the saved point.
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

#include "app/currentgame.h"
#include "app/savetext.h"
#include "records/gametreewrite.h"
#include "records/pgnread.h"
#include "tests/qtestmain.h"
#include "tests/view/playflow_fixture.h"
#include "view/movelist.h"

#include <QTableWidget>

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A view whose comment dialog answers as the test says.
class EditingView : public ScriptedView {
public:
    using ScriptedView::ScriptedView;
    QString commentBefore, commentAfter;
    bool    commentAnswered = true;

protected:
    bool AskComments(QString& before, QString& after) override {
        if (!commentAnswered) return false;
        before = commentBefore;
        after  = commentAfter;
        return true;
    }
};

// Plays moves (SAN) as research moves from the shown position.
bool research(CNorvaneView* view, std::initializer_list<const char*> moves) {
    if (!(view->m_mode & ModeResearch)) view->OnResearch();
    for (const char* san : moves)
        if (!clickMove(static_cast<ScriptedView*>(view), san)) return false;
    return true;
}

} // namespace

class EditingTest : public QObject {
    Q_OBJECT
    std::unique_ptr<CNorvaneDoc> m_doc;
    EditingView*                 m_view = nullptr;
    std::unique_ptr<QTemporaryDir> m_scratch;

    // The first game of the annotated file, loaded for viewing.
    void loadAnnotated() {
        QVERIFY(openFile(*m_doc, privateCopy("lichess-annotated.pgn")));
        QVERIFY(m_doc->LoadGame(&m_doc->m_games[0]));
        m_doc->UpdateAllViews(nullptr, HintReloadGame);
        QVERIFY(!m_view->IsGameModified());
    }
    std::string saved() { return writeGameTree(currentGameTree()); }

private slots:
    void init() {
        m_scratch = std::make_unique<QTemporaryDir>();
        m_doc     = std::make_unique<CNorvaneDoc>();
        m_view    = new EditingView(m_doc.get());
        m_view->m_strengthLevel = FullStrength;
        m_view->resize(300, 300);
        m_view->show();
        QVERIFY(m_doc->NewDocumentFile());
    }
    void cleanup() {
        delete m_view;
        m_view = nullptr;
        m_doc.reset();
        clearGame();
    }

    void savingAnAnnotatedGameKeepsItsComments() {
        loadAnnotated();
        GameTree original;
        const QByteArray before = currentGameSaveText();
        QVERIFY(parseGameTree(before.constData(), static_cast<std::size_t>(before.size()), original));
        QVERIFY(before.contains("[%clk 0:05:00]"));
        // The game's information changed in the header: the tree takes it, and keeps the rest.
        std::strcpy(gameHeader.event, "Edited Event");
        m_view->SetGameModified(true);
        m_view->savePath = m_scratch->filePath("out.pgn");
        QVERIFY(m_view->SaveGameAs());
        QVERIFY(!m_view->IsGameModified());
        const QByteArray text = fileBytes(m_view->savePath);
        QVERIFY(text.contains("[Event \"Edited Event\"]"));
        QVERIFY(text.contains("[Annotator \"lichess.org\"]"));
        GameTree written;
        QVERIFY(parseGameTree(text.constData(), static_cast<std::size_t>(text.size()), written));
        written.tags = original.tags = {};
        QVERIFY(sameGame(written, original)); // every comment and move as loaded
    }

    void copyKeepsTheMainLineAndAnnotatedCopyTheTree() {
        loadAnnotated();
        m_view->OnCopyGame();
        QVERIFY(!QGuiApplication::clipboard()->text().contains("%clk"));
        m_view->OnCopyAnnotatedGame();
        QVERIFY(QGuiApplication::clipboard()->text().contains("[%clk 0:05:00]"));
    }

    void eachEditIsUndoneAndRedone_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("writes"); // a piece of the saved text after the edit
        QTest::newRow("add variation") << "add" << "(2.d4";
        QTest::newRow("promote") << "promote" << "2.d4";
        QTest::newRow("delete variation") << "delete line" << "";
        QTest::newRow("delete after") << "delete after" << "";
        QTest::newRow("comment") << "comment" << "{a plan}";
        QTest::newRow("mark") << "mark" << "$3";
    }

    void eachEditIsUndoneAndRedone() {
        QFETCH(QString, edit);
        QFETCH(QString, writes);
        loadAnnotated();
        const std::string loaded = saved();
        // After 1...c5: the research line 2.d4 cxd4 kept as a side line of 2.Nf3.
        m_view->OnFirst();
        m_view->OnForward();
        m_view->OnForward();
        QVERIFY(research(m_view, {"d4", "cxd4"}));
        QVERIFY(m_view->CanAddVariation());
        std::string before = loaded;
        if (edit != "add") {
            m_view->OnAddVariation();
            QVERIFY(m_view->ShowsSideLine());
            before = saved();
            m_view->SetGameModified(false);
            currentGameEdits().markSaved();
        }
        if (edit == "add") m_view->OnAddVariation();
        if (edit == "promote") m_view->OnPromoteLine();
        if (edit == "delete line") m_view->OnDeleteLine();
        if (edit == "delete after") {
            m_view->OnFirst();
            m_view->OnForward();
            m_view->OnDeleteAfter();
        }
        if (edit == "comment") {
            m_view->commentAfter = "a plan";
            m_view->OnEditComment();
        }
        if (edit == "mark") m_view->OnSetMark(3);
        const std::string after = saved();
        QVERIFY2(after != before, qPrintable(edit));
        if (!writes.isEmpty()) QVERIFY2(after.find(writes.toStdString()) != std::string::npos, after.c_str());
        if (edit == "promote") QVERIFY(after.find("2.d4") < after.find("Nf3"));
        if (edit == "delete line") QCOMPARE(after, loaded);
        if (edit == "delete after") QVERIFY(!m_view->HasMoveAfter()); // its line ends at the shown move
        QVERIFY(m_view->IsGameModified());

        // Undone: the tree as before and the mark off (the saved point); redone: the edit again.
        m_view->OnUndoEdit();
        QCOMPARE(saved(), before);
        QVERIFY(!m_view->IsGameModified());
        m_view->OnRedoEdit();
        QCOMPARE(saved(), after);
        QVERIFY(m_view->IsGameModified());
        // The globals follow the tree: the main line the board steps through is the tree's.
        QCOMPARE(int(mainLineMoves(currentGameTree()).size()),
                 int(std::find_if(gameMoves, gameMoves + MaxGameMoves,
                                  [](const Move& m) { return m.piece == NoPiece; }) - gameMoves));

        // Saved, the file holds the edit.
        m_view->savePath = m_scratch->filePath("edited.pgn");
        QVERIFY(m_view->SaveGameAs());
        QVERIFY(!m_view->IsGameModified());
        QByteArray text = fileBytes(m_view->savePath);
        text.replace("\r\n", "\n");
        QCOMPARE(text.toStdString(), after);
        // Back to the loaded game.
        while (currentGameEdits().canUndo())
            m_view->OnUndoEdit();
        QCOMPARE(saved(), loaded);
    }

    void aResearchLineFromTheGamesEndContinuesIt() {
        clearGame();
        QVERIFY(loadCurrentGameText("[Event \"x\"]\n\n1. e4 e5 *\n", 100));
        m_doc->UpdateAllViews(nullptr, HintReloadGame);
        m_view->OnLast();
        QVERIFY(research(m_view, {"Nf3"}));
        m_view->OnAddVariation();
        QVERIFY(saved().find("1.e4 e5 2.Nf3") != std::string::npos);
        QVERIFY(!(m_view->m_mode & ModeResearch));
        QCOMPARE(gamePly, 3);
    }

    void theMoveListNumbersFromTheGamesStart() {
        CMoveListView list(m_doc.get());
        clearGame();
        QVERIFY(loadCurrentGameText("[Event \"x\"]\n[SetUp \"1\"]\n[FEN \"r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4\"]\n\n4. Qxf7# 1-0\n", 400));
        m_doc->UpdateAllViews(nullptr, HintReloadGame);
        QTableWidget* table = list.GetTable();
        QVERIFY(table->rowCount() > 0);
        QCOMPARE(table->item(0, 0)->text().trimmed(), QString("4."));
        QCOMPARE(table->item(0, 1)->text().trimmed(), QString("Qxf7#"));
    }
};

NORVANE_TEST(EditingTest);

#include "editing_test.moc"
