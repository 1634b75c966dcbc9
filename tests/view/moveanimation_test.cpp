// The move animation: with the setting off a step puts the pieces on their squares at once;
// with it on a single step slides them, and once the slide has ended (driven to its end by
// its own clock) the board is drawn exactly as without it. Jumps do not slide.
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <functional>

#include "tests/qtestmain.h"
#include "tests/view/playflow_fixture.h"

namespace {

// The board's picture as drawn: the off-screen buffer's bytes.
QByteArray bufferBytes(const CNorvaneView& view) {
    CDIB* buffer = view.GetBuffer();
    if (!buffer) return {};
    return QByteArray(reinterpret_cast<const char*>(buffer->GetBits()),
                      qsizetype(buffer->GetStride()) * buffer->GetHeight());
}

} // namespace

class MoveAnimationTest : public QObject {
    Q_OBJECT
    PlayFixture f;

    void newGame(int choice) { QVERIFY(f.newGame(choice)); }
    void play(const char* line) {
        for (const std::string& san : tokens(line))
            QVERIFY(clickMove(f.view, san));
    }

private slots:
    void init() {
        f.make();
        QVERIFY(f.doc->NewDocumentFile());
    }
    void cleanup() {
        f.destroy();
        QSettings().remove(MoveAnimationKey);
    }

    void aSlideEndsWhereTheJumpLands() {
        enum { Slides, Jumps, MaySlide };
        struct Case {
            const char*           name;
            std::function<void()> steps; // the last step is the one looked at
            int                   slides;
        };
        const Case cases[] = {
            {"a move", [&] { newGame(EngineNone); play("e4"); }, Slides},
            {"a capture", [&] { newGame(EngineNone); play("e4 d5 exd5"); }, Slides},
            {"castling", [&] { newGame(EngineNone); play("e4 e5 Nf3 Nc6 Bc4 Bc5 O-O"); }, Slides},
            {"en passant", [&] { newGame(EngineNone); play("e4 a6 e5 d5 exd6"); }, Slides},
            {"a step back over a capture",
             [&] {
                 newGame(EngineNone);
                 play("e4 d5 exd5");
                 f.view->OnBack();
             },
             Slides},
            // The reply is played while the event loop runs, which may end its slide.
            {"the engine's reply",
             [&] {
                 f.view->engineMoves = {"d5", "Qxd5"};
                 play("e4 exd5");
             },
             MaySlide},
            {"Home", [&] { newGame(EngineNone); play("e4 d5 exd5"); f.view->OnFirst(); }, Jumps},
            {"End",
             [&] {
                 newGame(EngineNone);
                 play("e4 d5 exd5");
                 f.view->OnFirst();
                 f.view->OnLast();
             },
             Jumps},
        };
        for (const Case& c : cases) {
            const QString name = c.name;
            // Without the animation: the picture to match.
            cleanup();
            init();
            f.view->SetMoveAnimation(false);
            QSignalSpy offStarts(&f.view->MoveAnimation(), &QAbstractAnimation::stateChanged);
            c.steps();
            QVERIFY2(offStarts.isEmpty(), qPrintable(name));
            QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
            const QByteArray    jumped = bufferBytes(*f.view);
            const std::uint64_t key    = board.hashKey;
            QVERIFY(!jumped.isEmpty());

            cleanup();
            init();
            f.view->SetMoveAnimation(true);
            QVERIFY(QSettings().value(MoveAnimationKey).toBool());
            c.steps();
            QVariantAnimation& slide   = f.view->MoveAnimation();
            const bool         running = slide.state() == QAbstractAnimation::Running;
            if (c.slides != MaySlide) QVERIFY2(running == (c.slides == Slides), qPrintable(name));
            // Under way, a piece stands off its square.
            if (running) QVERIFY2(!mapMismatch(*f.doc, *f.view).isEmpty(), qPrintable(name));
            slide.setCurrentTime(slide.duration());
            QCOMPARE(slide.state(), QAbstractAnimation::Stopped);
            QCOMPARE(board.hashKey, key);
            QVERIFY2(mapMismatch(*f.doc, *f.view).isEmpty(), qPrintable(name));
            QVERIFY2(bufferBytes(*f.view) == jumped, qPrintable(name));
        }
    }

    // A click while a piece slides ends the slide first: the piece is picked up from its square.
    void aClickDuringASlidePicksUpFromTheSquare() {
        f.view->SetMoveAnimation(true);
        newGame(EngineNone);
        play("e4");
        QCOMPARE(f.view->MoveAnimation().state(), QAbstractAnimation::Running);
        clickSquare(f.view, "e7");
        QVERIFY(f.view->m_pHeld);
        QCOMPARE(f.view->MoveAnimation().state(), QAbstractAnimation::Stopped);
        clickSquare(f.view, "e5");
        f.view->FinishMoveAnimation();
        QCOMPARE(gamePly, 2);
        QCOMPARE(mapMismatch(*f.doc, *f.view), QString());
    }
};

NORVANE_TEST(MoveAnimationTest);
#include "moveanimation_test.moc"
