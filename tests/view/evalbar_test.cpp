// The evaluation bar: White's share from the best line's score, mate full for the mating side,
// White at the bottom unless flipped, the score written on it, a change that glides instead of
// jumping, and hidden without a snapshot.
#include <QImage>
#include <QTest>

#include "tests/qtestmain.h"
#include "view/analysissnapshot.h"
#include "view/evalbar.h"

namespace {

UciScore cp(int value) { return {UciScore::Centipawns, value}; }
UciScore mate(int value) { return {UciScore::Mate, value}; }

AnalysisSnapshot snapshotWith(const UciScore& best) {
    AnalysisSnapshot snapshot;
    snapshot.engineName = "Test";
    AnalysisLine line;
    line.score = best;
    snapshot.lines.push_back(line);
    AnalysisLine second; // a worse line never decides the bar
    second.multipv = 2;
    second.score   = cp(-900);
    snapshot.lines.push_back(second);
    return snapshot;
}

// How light the bar is a few pixels from its top and its bottom (0 dark to 255 light), away
// from the score's text, which stands at one end.
int lightness(const QImage& image, int y) { return qGray(image.pixel(3, y)); }

} // namespace

class EvalBarTest : public QObject {
    Q_OBJECT
private slots:
    void theShareAndTheTextFollowTheScore_data() {
        QTest::addColumn<UciScore>("score");
        QTest::addColumn<double>("share");
        QTest::addColumn<QString>("text");
        QTest::newRow("even") << cp(0) << 0.5 << "0.0";
        QTest::newRow("level for Black by a hair")
            << cp(-4) << 1.0 / (1.0 + std::pow(10.0, 4.0 / 400)) << "0.0";
        QTest::newRow("four pawns up") << cp(400) << 10.0 / 11.0 << "+4.0";
        QTest::newRow("four pawns down") << cp(-400) << 1.0 / 11.0 << "-4.0";
        QTest::newRow("a small edge")
            << cp(35) << 1.0 / (1.0 + std::pow(10.0, -35.0 / 400)) << "+0.3";
        QTest::newRow("lost by far")
            << cp(-2500) << 1.0 / (1.0 + std::pow(10.0, 2500.0 / 400)) << "-25";
        QTest::newRow("beyond any game") << cp(1000000) << 1.0 << "+10000";
        QTest::newRow("white mates") << mate(3) << 1.0 << "M3";
        QTest::newRow("black mates") << mate(-12) << 0.0 << "-M12";
    }
    void theShareAndTheTextFollowTheScore() {
        QFETCH(UciScore, score);
        QFETCH(double, share);
        QFETCH(QString, text);
        QVERIFY(qAbs(whiteShare(score) - share) < 1e-6);
        EvalBar                bar;
        const AnalysisSnapshot snapshot = snapshotWith(score);
        bar.ShowAnalysis(&snapshot);
        QVERIFY(!bar.isHidden());
        QVERIFY(qAbs(bar.TargetShare() - share) < 1e-6);
        QCOMPARE(bar.ScoreText(), text);
    }

    // A mated position: the engine says "mate 0" from the mated side; the bar is the winner's.
    void aMateOnTheBoardFillsTheBarForTheWinner() {
        for (const bool blackToMove : {false, true}) {
            EvalBar          bar;
            AnalysisSnapshot snapshot = snapshotWith(mate(0));
            snapshot.blackToMove      = blackToMove;
            bar.ShowAnalysis(&snapshot);
            QCOMPARE(bar.TargetShare(), blackToMove ? 1.0 : 0.0);
            QCOMPARE(bar.ScoreText(), QString(blackToMove ? "1-0" : "0-1"));
        }
    }

    void whiteIsAtTheBottomUnlessFlippedAndNullHides() {
        EvalBar bar;
        bar.resize(EvalBar::BarWidth, 300);
        const AnalysisSnapshot won = snapshotWith(mate(2)); // all White's
        bar.ShowAnalysis(&won);
        QImage image = bar.grab().toImage();
        QVERIFY(lightness(image, image.height() - 30) > 200);
        QVERIFY(lightness(image, 30) > 200);
        const AnalysisSnapshot even = snapshotWith(cp(-300)); // Black better: Black's part larger
        bar.ShowAnalysis(&even);
        QTRY_COMPARE(bar.ShownShare(), bar.TargetShare());
        image = bar.grab().toImage();
        QVERIFY(lightness(image, 30) < 100);                  // Black at the top
        QVERIFY(lightness(image, image.height() - 30) > 200); // White at the bottom
        bar.SetFlipped(true);
        image = bar.grab().toImage();
        QVERIFY(lightness(image, 30) > 200);
        QVERIFY(lightness(image, image.height() - 30) < 100);
        bar.ShowAnalysis(nullptr);
        QVERIFY(bar.isHidden());
    }

    void aChangeGlidesToItsShare() {
        EvalBar                bar;
        const AnalysisSnapshot first = snapshotWith(cp(0));
        bar.ShowAnalysis(&first);
        QCOMPARE(bar.ShownShare(), 0.5); // appearing: at once
        const AnalysisSnapshot second = snapshotWith(cp(800));
        bar.ShowAnalysis(&second);
        QCOMPARE(bar.ShownShare(), 0.5); // not jumped
        QTRY_COMPARE(bar.ShownShare(), bar.TargetShare());
        // A snapshot without lines (the engine restarted) keeps the bar where it stands.
        const AnalysisSnapshot empty;
        bar.ShowAnalysis(&empty);
        QCOMPARE(bar.TargetShare(), whiteShare(cp(800)));
        QCOMPARE(bar.ScoreText(), QString());
    }
};

NORVANE_TEST(EvalBarTest);
#include "evalbar_test.moc"
