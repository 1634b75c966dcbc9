#include <QAction>
#include <QTest>

#include <algorithm>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/commands.h"
#include "app/norvanedoc.h"
#include "engine/makemove.h"
#include "records/game.h"
#include "records/san.h"
#include "tests/common/playsan.h"
#include "tests/qtestmain.h"
#include "view/norvaneview.h"

namespace {

// What one sprite shows: its image number, place and depth.
struct Shown {
    int  image, x, y, z;
    auto operator<=>(const Shown&) const = default;
};

} // namespace

class BoardSpritesTest : public QObject {
    Q_OBJECT

    CNorvaneDoc*                             doc  = nullptr;
    CNorvaneView*                            view = nullptr;
    std::map<int, std::vector<std::uint8_t>> images; // the bits of every image, by number

    // The number of the image a sprite shows, found by its bits; 0 when none matches.
    int imageOf(CSprite* sprite) {
        const std::size_t size = std::size_t(sprite->GetStride()) * sprite->GetHeight();
        for (const auto& [id, bits] : images)
            if (bits.size() == size && std::memcmp(bits.data(), sprite->GetBits(), size) == 0)
                return id;
        return 0;
    }

    std::vector<Shown> picture() {
        std::vector<Shown> shown;
        for (CSprite* s : doc->m_sprites.Sprites())
            shown.push_back({imageOf(s), s->GetX(), s->GetY(), s->GetZ()});
        std::sort(shown.begin(), shown.end());
        return shown;
    }

    // The map holds exactly the Board's pieces, each sprite in the list, showing its piece and
    // standing on its square; the list holds nothing else but the strips.
    void expectMapShowsBoard() {
        int pieces = 0;
        for (int s = 0; s < 64; ++s) {
            const int d      = view->DisplaySquare(s);
            CSprite*  sprite = view->m_squareSprites[d];
            int       want   = 0;
            for (int colour = White; colour <= Black; ++colour)
                for (int piece = Pawn; piece <= King; ++piece)
                    if (board.pieceBits[colour][piece] >> s & 1)
                        want = int(doc->m_pieceImageIds[colour * 8 + piece]);
            QVERIFY2(want ? sprite != nullptr : sprite == nullptr, qPrintable(QString::number(s)));
            if (!want) continue;
            ++pieces;
            QVERIFY(doc->m_sprites.Contains(sprite));
            QCOMPARE(imageOf(sprite), want);
            QCOMPARE(QPoint(sprite->GetX(), sprite->GetY()), view->m_squareRects[d].topLeft());
        }
        const int strips = (view->m_mode & ModeCoordinates) ? 2 : 0;
        QCOMPARE(int(doc->m_sprites.GetCount()), pieces + strips);
    }

private slots:
    void initTestCase() {
        for (int id :
             {104, 105, 131, 132, 133, 134, 135, 136, 137, 138, 139, 140, 141, 142, 143, 144}) {
            CDIB image;
            QVERIFY(image.Load(id));
            images[id].assign(image.GetBits(),
                              image.GetBits() + std::size_t(image.GetStride()) * image.GetHeight());
        }
        doc  = new CNorvaneDoc;
        view = new CNorvaneView(doc);
        QVERIFY(doc->m_pBackground);
        QCOMPARE(doc->m_pBackground->GetRect(), QRect(0, 0, 300, 300));
        QCOMPARE(int(doc->m_sprites.GetCount()), 12); // the proof of the piece images
    }

    void cleanupTestCase() {
        delete view;
        delete doc;
    }

    void init() {
        view->m_mode = 0;
        setupStartPosition();
    }

    void squaresAndFlippedDisplay() {
        QCOMPARE(view->m_squareRects[0], QRect(30, 237, 31, 31));
        QCOMPARE(view->m_squareRects[63], QRect(261, 6, 31, 31));
        view->m_mode = ModeFlipped;
        view->RebuildSprites();
        expectMapShowsBoard();
        CSprite* a1 = view->m_squareSprites[view->DisplaySquare(0)];
        QCOMPARE(a1->GetRect(), QRect(261, 6, 32, 32));
        QCOMPARE(imageOf(a1), 133); // the white rook
    }

    void theBufferShowsThePieces() {
        view->RebuildSprites();
        // On e1 the king's pixels where they are not transparent, the square elsewhere; on e4
        // the bare square.
        const CSprite* king       = view->m_squareSprites[4];
        CDIB*          shown      = view->GetBuffer();
        int            kingPixels = 0;
        for (const int d : {4, 28}) {
            const QRect r = view->m_squareRects[d];
            for (int y = r.top(); y < r.top() + 31; ++y)
                for (int x = r.left(); x < r.left() + 31; ++x) {
                    const std::uint8_t sprite =
                        d == 4 ? *king->GetPixelAddress(x - r.left(), y - r.top())
                               : king->GetTransparentIndex();
                    const bool own = sprite != king->GetTransparentIndex();
                    kingPixels += own;
                    QCOMPARE(*shown->GetPixelAddress(x, y),
                             own ? sprite : *doc->m_pBackground->GetPixelAddress(x, y));
                }
        }
        QVERIFY(kingPixels > 200);
    }

    void aReloadedGameIsShownFromItsStart() {
        std::vector<Move> moves;
        QVERIFY(readSanLine("e4 e5", moves));
        clearGame();
        std::copy(moves.begin(), moves.end(), gameMoves);
        view->RebuildSprites();
        doc->UpdateAllViews(nullptr, HintRebuildList); // not for the board
        QCOMPARE(view->m_mode, 0u);
        doc->UpdateAllViews(nullptr, HintEverything);
        QCOMPARE(view->m_mode, ModeViewing);
        QCOMPARE(gamePly, 0);
        expectMapShowsBoard();
        view->StepToLast();
        QCOMPARE(gamePly, 2);
        expectMapShowsBoard();
        QVERIFY(view->m_squareSprites[28] && view->m_squareSprites[36] && !view->m_squareSprites[12]);
        clearGame();
    }

    void flipAndCoordinateCommandsToggleAndRebuild() {
        CCommandTable table;
        view->RegisterCommands(table);
        QVERIFY(table.Execute(CmdFlip));
        QCOMPARE(view->m_mode, ModeFlipped);
        QVERIFY(table.Action(CmdFlip)->isChecked());
        QVERIFY(!table.Action(CmdCoordinates)->isChecked());
        QCOMPARE(view->m_squareSprites[63]->GetRect().topLeft(), QPoint(261, 6)); // a1
        QVERIFY(table.Execute(CmdCoordinates));
        QVERIFY(table.Action(CmdCoordinates)->isChecked());
        expectMapShowsBoard();
        QVERIFY(table.Execute(CmdFlip));
        QVERIFY(table.Execute(CmdCoordinates));
        QCOMPARE(view->m_mode, 0u);
        QVERIFY(!table.Action(CmdFlip)->isChecked());
        expectMapShowsBoard();
    }

    void coordinateStripsFollowTheFlip() {
        for (const bool flipped : {false, true}) {
            view->m_mode = ModeCoordinates | (flipped ? ModeFlipped : 0);
            view->RebuildSprites();
            expectMapShowsBoard();
            std::vector<Shown> strips;
            for (const Shown& s : picture())
                if (s.image < 131 || s.image > 142) strips.push_back(s);
            const std::vector<Shown> expected = {{flipped ? 104 : 143, 40, 275, 50},
                                                 {flipped ? 105 : 144, 8, 14, 50}};
            QCOMPARE(strips, expected);
        }
    }

    void movesThereAndBackLeaveThePictureAsItWas_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("flipped");
        const char* lines[] = {
            "e4 e5 Nf3 Nc6 Bc4 Bc5 O-O Nf6 d3 O-O",                     // king-side, both colours
            "d4 d5 Nc3 Nc6 Bf4 Bf5 Qd2 Qd7 O-O-O O-O-O",                // queen-side
            "a4 b5 axb5 a6 b6 a5 b7 a4 bxa8=Q a3 Qb7 axb2 Qxc8 bxa1=R", // capturing promotions
            "h4 g5 hxg5 Nf6 g6 Ne4 g7 Nc3 g8=N Nd5",                    // a quiet promotion
            "e4 a6 e5 d5 exd6 c5 a3 c4 b4 cxb3",                        // en passant, both colours
        };
        for (const char* line : lines)
            for (const bool flipped : {false, true})
                QTest::newRow(qPrintable(QString("%1%2").arg(line, flipped ? " flipped" : "")))
                    << QString(line) << flipped;
    }

    void movesThereAndBackLeaveThePictureAsItWas() {
        QFETCH(QString, line);
        QFETCH(bool, flipped);
        std::vector<Move> moves;
        QVERIFY(readSanLine(line.toStdString(), moves));
        view->m_mode = ModeCoordinates | (flipped ? ModeFlipped : 0);
        view->RebuildSprites();
        const std::vector<Shown> start = picture();
        for (const Move& m : moves) {
            QVERIFY(view->ApplyMoveToSprites(m));
            makeMove(m);
            expectMapShowsBoard();
        }
        for (auto m = moves.rbegin(); m != moves.rend(); ++m) {
            QVERIFY(view->RetractMoveOnSprites(*m));
            unmakeMove(*m);
            expectMapShowsBoard();
        }
        QCOMPARE(picture(), start);
    }

    void aMissingSpriteAnswersFalseAndChangesNothing() {
        std::vector<Move> moves;
        QVERIFY(readSanLine("e4 e5 Nf3 Nc6 Bc4 Bc5", moves));
        for (const Move& m : moves)
            makeMove(m);
        Move castle{};
        QVERIFY(sanToMove("O-O", 2, &castle));
        view->RebuildSprites();

        // The rook's sprite is gone from h1: castling may not move the king alone.
        doc->m_sprites.Destroy(view->m_squareSprites[7]);
        view->m_squareSprites[7]        = nullptr;
        const std::vector<Shown> before = picture();
        CSprite*                 map[64];
        std::copy(std::begin(view->m_squareSprites), std::end(view->m_squareSprites), map);
        QVERIFY(!view->ApplyMoveToSprites(castle));
        QCOMPARE(picture(), before);
        QVERIFY(std::equal(std::begin(map), std::end(map), view->m_squareSprites));

        // Nothing stands on the destination to take back, or on the origin to move.
        QVERIFY(!view->RetractMoveOnSprites(castle));
        Move quiet{};
        QVERIFY(sanToMove("d3", 1, &quiet));
        doc->m_sprites.Destroy(view->m_squareSprites[11]);
        view->m_squareSprites[11] = nullptr;
        QVERIFY(!view->ApplyMoveToSprites(quiet));
        QCOMPARE(int(doc->m_sprites.GetCount()), int(before.size()) - 1);
        for (auto m = moves.rbegin(); m != moves.rend(); ++m)
            unmakeMove(*m);
    }
};

NORVANE_TEST(BoardSpritesTest);
#include "boardsprites_test.moc"
