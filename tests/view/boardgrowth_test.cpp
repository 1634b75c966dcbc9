// The board at other sizes, dragged pieces and the highlights, driven by mouse and key events
// on the board view as a user would.
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

#include "tests/qtestmain.h"
#include "tests/view/playflow_fixture.h"
#include "view/boardimages.h"
#include "view/boardscale.h"

namespace {

// The buffer's byte at a point, and the background's byte there.
std::uint8_t shownAt(CNorvaneView* view, QPoint p) {
    return *view->GetBuffer()->GetPixelAddress(p.x(), p.y());
}
std::uint8_t groundAt(CNorvaneDoc* doc, QPoint p) {
    return *doc->m_pBackground->GetPixelAddress(p.x(), p.y());
}

// A point of board square s that no piece covers: just inside its rectangle's top-left corner.
QPoint uncovered(CNorvaneView* view, int s) {
    return view->m_squareRects[view->DisplaySquare(s)].topLeft() + QPoint(1, 1);
}

// Whether square s is drawn tinted: its uncovered corner differs from the background.
bool tinted(PlayFixture& f, const char* square) {
    const QPoint p = uncovered(f.view, squareOf(square));
    return shownAt(f.view, p) != groundAt(f.doc.get(), p);
}

} // namespace

class BoardGrowthTest : public QObject {
    Q_OBJECT
    PlayFixture f;

    // Presses on from, moves over to to and releases there.
    void drag(const char* from, const char* to) {
        const QPoint a = f.view->m_squareRects[f.view->DisplaySquare(squareOf(from))].center();
        const QPoint b = f.view->m_squareRects[f.view->DisplaySquare(squareOf(to))].center();
        QTest::mousePress(f.view, Qt::LeftButton, {}, a);
        QTest::mouseMove(f.view, (a + b) / 2);
        QTest::mouseMove(f.view, b);
        QTest::mouseRelease(f.view, Qt::LeftButton, {}, b);
    }

    // Settings of this process only: the test programs of both builds may run at once.
    QTemporaryDir m_settings;

private slots:
    void initTestCase() {
        QVERIFY(m_settings.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    }
    void init() {
        f.make();
        QVERIFY(f.doc->NewDocumentFile());
        f.view->newGameChoice = EngineNone; // game entry: no engine replies
        f.view->OnNewGame();
    }
    void cleanup() { f.destroy(); }

    void theBoardGrowsInStepsWithTheViewAndShrinksBack() {
        QCOMPARE(f.view->Geometry().Pitch(), StandardPitch);
        QCOMPARE(f.view->m_squareRects[0], QRect(30, 237, 31, 31));
        f.view->resize(720, 705);
        QCOMPARE(f.view->Geometry().Pitch(), 77); // 700 pixels; the next step needs 736
        QCOMPARE(f.view->GetBuffer()->GetWidth(), 700);
        QCOMPARE(f.view->m_squareRects[0], QRect(70, 553, 72, 72));
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
        // The pieces and the strips are drawn at the new size.
        f.view->OnCoordinates();
        for (CSprite* s : f.doc->m_sprites.Sprites())
            if (s->GetImageId() >= FirstPieceImage && s->GetImageId() <= LastPieceImage)
                QCOMPARE(s->GetWidth(), 73);
        QVERIFY(clickMove(f.view, "e4"));
        QCOMPARE(gamePly, 1);
        f.view->resize(300, 300);
        QCOMPARE(f.view->Geometry().Pitch(), StandardPitch);
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
        QCOMPARE(f.view->m_squareRects[0], QRect(30, 237, 31, 31));
    }

    void theRunTimeDrawingsMatchTheStandardImages() {
        // The designs drawn at the standard pitch give the images of scripts/make-images.
        for (int id : {BoardImage, 131, 135, 139, 142, FileStripImage, FlippedRankStripImage}) {
            CDIB standard;
            QVERIFY(standard.Load(id));
            const IndexedPicture drawn = drawBoardImage(id, StandardPitch);
            QCOMPARE(drawn.width, standard.GetWidth());
            QCOMPARE(drawn.height, standard.GetHeight());
            int differing = 0;
            for (int y = 0; y < drawn.height; ++y)
                for (int x = 0; x < drawn.width; ++x)
                    differing +=
                        drawn.pixels[y * drawn.width + x] != *standard.GetPixelAddress(x, y);
            QVERIFY2(differing <= drawn.width * drawn.height / 200,
                     qPrintable(QString("image %1: %2 pixels").arg(id).arg(differing)));
        }
    }

    void aDraggedPieceIsDroppedWhereItIsReleased() {
        drag("e2", "e4");
        QVERIFY(!f.view->m_pHeld);
        QCOMPARE(gamePly, 1);
        QCOMPARE(QString(f.view->m_gameSan[0]), QString("e4"));
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
        // Click and click still works beside it.
        QVERIFY(clickMove(f.view, "e5"));
        QCOMPARE(gamePly, 2);
    }

    void anIllegalDropKeepsThePieceInHandWithItsSquareMarked() {
        drag("e2", "e5");
        QVERIFY(f.view->m_pHeld);
        QCOMPARE(gamePly, 0);
        QCOMPARE(f.view->Highlights().pickSquare, squareOf("e2"));
        QVERIFY(tinted(f, "e2"));
        // It follows the mouse, and a click on a legal square plays it.
        QTest::mouseMove(f.view, QPoint(100, 100));
        QCOMPARE(QPoint(f.view->m_pHeld->GetX(), f.view->m_pHeld->GetY()),
                 QPoint(100, 100) - f.view->m_grabOffset);
        clickSquare(f.view, "e3");
        QVERIFY(!f.view->m_pHeld);
        QCOMPARE(QString(f.view->m_gameSan[0]), QString("e3"));
        QCOMPARE(f.view->Highlights().pickSquare, int(NoSquare));
    }

    void escapePutsACarriedPieceBack() {
        f.view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.view));
        clickSquare(f.view, "g1");
        QVERIFY(f.view->m_pHeld);
        QTest::mouseMove(f.view, QPoint(150, 120));
        QTest::keyClick(f.view, Qt::Key_Escape);
        QVERIFY(!f.view->m_pHeld);
        QCOMPARE(f.view->Highlights().pickSquare, int(NoSquare));
        QCOMPARE(f.view->Highlights().targets, Bitboard(0));
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
        QVERIFY(!tinted(f, "g1"));
    }

    void theHighlightsFollowThePlayAtEverySizeAndFlipped() {
        for (int pitch : {StandardPitch, 57}) {
            for (bool flipped : {false, true}) {
                cleanup();
                init();
                f.view->SetPitch(pitch);
                if (flipped) f.view->OnFlip();
                const QString where =
                    QString("pitch %1%2").arg(pitch).arg(flipped ? " flipped" : "");
                // The carried piece's square and its targets: dots on e3 and e4.
                clickSquare(f.view, "e2");
                QCOMPARE(f.view->Highlights().targets,
                         squareBit[squareOf("e3")] | squareBit[squareOf("e4")]);
                QVERIFY2(tinted(f, "e2"), qPrintable(where));
                for (const char* target : {"e3", "e4"}) {
                    const QPoint middle =
                        f.view->m_squareRects[f.view->DisplaySquare(squareOf(target))].center();
                    QVERIFY2(shownAt(f.view, middle) != groundAt(f.doc.get(), middle),
                             qPrintable(where));
                }
                clickSquare(f.view, "e4");
                // The last move's two squares; then a king in check.
                QVERIFY2(tinted(f, "e2") && tinted(f, "e4") && !tinted(f, "e3"), qPrintable(where));
                for (const char* san : {"f5", "Qh5+"})
                    QVERIFY(clickMove(f.view, san));
                QCOMPARE(f.view->Highlights().checkSquare, squareOf("e8"));
                QVERIFY2(tinted(f, "e8") && tinted(f, "h5") && tinted(f, "d1") && !tinted(f, "e2"),
                         qPrintable(where));
                // Stepping back moves the marks with the shown position.
                f.view->OnEndGame();
                f.view->StepBack();
                QCOMPARE(f.view->Highlights().checkSquare, int(NoSquare));
                QVERIFY2(tinted(f, "f7") && tinted(f, "f5") && !tinted(f, "e8"), qPrintable(where));
            }
        }
    }

    void theSwitchHidesTheHighlightsAndIsRemembered() {
        QVERIFY(clickMove(f.view, "d4"));
        QVERIFY(tinted(f, "d4"));
        f.view->ShowHighlights(false);
        QVERIFY(!tinted(f, "d4") && !tinted(f, "d2"));
        QCOMPARE(QSettings().value(HighlightsKey).toBool(), false);
        cleanup();
        init();
        QVERIFY(!f.view->HighlightsShown());
        f.view->ShowHighlights(true);
        QCOMPARE(QSettings().value(HighlightsKey).toBool(), true);
    }

    void theFittingPitchStepsAndNeverGoesBelowTheStandard() {
        struct Case {
            QSize room;
            int   pitch;
        };
        const Case cases[] = {{{120, 90}, 33},  {{300, 300}, 33},  {{335, 900}, 33},
                              {{336, 336}, 37}, {{1280, 700}, 77}, {{2000, 1400}, 153}};
        for (const Case& c : cases)
            QCOMPARE(fittingPitch(c.room), c.pitch);
        QCOMPARE(logicalSide(33), 300);
        QCOMPARE(devicePitch(33, 2.0), 66);
        QCOMPARE(BoardGeometry(66).SquareRect(0), QRect(60, 474, 62, 62));
    }
};

NORVANE_TEST(BoardGrowthTest);

#include "boardgrowth_test.moc"
