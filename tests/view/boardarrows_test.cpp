// The analysis's arrows in the board's buffer: the pixels on an arrow's path change and those
// off it do not, the partial redraw leaves the same picture as drawing the whole board, the
// best line's arrow is the stronger, and clearing gives back the board as it was; at the
// standard size, a larger one, and flipped.
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "tests/qtestmain.h"
#include "tests/view/playflow_fixture.h"
#include "view/analysissnapshot.h"

namespace {

// A snapshot whose lines start with these coordinate moves, best first.
AnalysisSnapshot snapshotOf(std::initializer_list<const char*> firstMoves) {
    AnalysisSnapshot snapshot;
    int              multipv = 1;
    for (const char* move : firstMoves) {
        AnalysisLine line;
        line.multipv = multipv++;
        line.line.coords.push_back(move);
        line.line.san.push_back(move);
        snapshot.lines.push_back(line);
    }
    return snapshot;
}

// The buffer's bytes, row by row.
QByteArray bufferBytes(CNorvaneView* view) {
    CDIB*      buffer = view->GetBuffer();
    QByteArray bytes;
    for (int y = 0; y < buffer->GetHeight(); ++y)
        bytes.append(reinterpret_cast<const char*>(buffer->GetPixelAddress(0, y)),
                     buffer->GetWidth());
    return bytes;
}

// The pixels of board square s's rectangle that differ between two pictures of the buffer.
int changedIn(CNorvaneView* view, const QByteArray& before, const QByteArray& after, int s) {
    const QRect r     = view->m_squareRects[view->DisplaySquare(s)];
    const int   width = view->GetBuffer()->GetWidth();
    int         count = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            count += before[y * width + x] != after[y * width + x];
    return count;
}

} // namespace

class BoardArrowsTest : public QObject {
    Q_OBJECT
    PlayFixture   f;
    QTemporaryDir m_settings;

private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    }
    void init() {
        f.make();
        QVERIFY(f.doc->NewDocumentFile());
        f.view->newGameChoice = EngineNone;
        f.view->OnNewGame();
    }
    void cleanup() { f.destroy(); }

    void firstMovesOfTheLinesBecomeArrows() {
        const AnalysisSnapshot snapshot      = snapshotOf({"e2e4", "g1f3", "e7e8q", "zz", "d2d4"});
        const std::vector<BoardArrow> arrows = analysisArrows(snapshot);
        const std::vector<BoardArrow> expected{{squareOf("e2"), squareOf("e4"), true},
                                               {squareOf("g1"), squareOf("f3"), false},
                                               {squareOf("e7"), squareOf("e8"), false},
                                               {squareOf("d2"), squareOf("d4"), false}};
        QVERIFY(arrows == expected);
        QVERIFY(analysisArrows(AnalysisSnapshot{}).empty());
    }

    void theArrowsTintTheirPathAtEverySizeAndFlippedAndClearCleanly_data() {
        QTest::addColumn<int>("pitch");
        QTest::addColumn<bool>("flipped");
        QTest::newRow("standard") << int(StandardPitch) << false;
        QTest::newRow("standard flipped") << int(StandardPitch) << true;
        QTest::newRow("larger") << 57 << false;
        QTest::newRow("larger flipped") << 57 << true;
    }
    void theArrowsTintTheirPathAtEverySizeAndFlippedAndClearCleanly() {
        QFETCH(int, pitch);
        QFETCH(bool, flipped);
        f.view->SetPitch(pitch);
        if (flipped) f.view->OnFlip();
        f.view->EmptyDirtyList();
        const QByteArray before = bufferBytes(f.view);

        // The best line e2-e4 and a second line d2-d4: each shaft crosses the square between.
        const AnalysisSnapshot snapshot = snapshotOf({"e2e4", "d2d4"});
        f.view->ShowAnalysisArrows(&snapshot);
        const QByteArray shown = bufferBytes(f.view);
        const int        best  = changedIn(f.view, before, shown, squareOf("e3"));
        const int        other = changedIn(f.view, before, shown, squareOf("d3"));
        QVERIFY(best > 0 && other > 0);
        QVERIFY2(best > other, qPrintable(QString("%1 vs %2").arg(best).arg(other)));
        // Off the paths nothing changed: every changed pixel lies in a covered cell.
        Bitboard cells = 0;
        for (const BoardArrow& arrow : f.view->AnalysisArrows())
            cells |= ArrowPainter::CoveredCells(arrow, f.view->Geometry(), flipped);
        QVERIFY(cells & squareBit[f.view->DisplaySquare(squareOf("e3"))]);
        QVERIFY(!(cells & squareBit[f.view->DisplaySquare(squareOf("a6"))]));
        const int width = f.view->GetBuffer()->GetWidth();
        for (int i = 0; i < shown.size(); ++i) {
            if (shown[i] == before[i]) continue;
            bool inCell = false;
            for (Bitboard c = cells; c && !inCell; c &= c - 1)
                inCell = ArrowPainter::CellRect(firstOne(c), f.view->Geometry())
                             .contains(i % width, i / width);
            QVERIFY2(inCell, qPrintable(QString("pixel %1,%2").arg(i % width).arg(i / width)));
        }
        // The squares redrawn alone give the picture the whole board gives.
        f.view->Render(nullptr);
        QCOMPARE(bufferBytes(f.view), shown);

        // Another analysis: the old arrow goes where the new one is not.
        const AnalysisSnapshot next = snapshotOf({"g1f3"});
        f.view->ShowAnalysisArrows(&next);
        const QByteArray moved = bufferBytes(f.view);
        QCOMPARE(changedIn(f.view, before, moved, squareOf("e3")), 0);
        QVERIFY(changedIn(f.view, before, moved, squareOf("f3")) > 0);
        f.view->Render(nullptr);
        QCOMPARE(bufferBytes(f.view), moved);

        f.view->ShowAnalysisArrows(nullptr);
        QVERIFY(f.view->AnalysisArrows().empty());
        QCOMPARE(bufferBytes(f.view), before);
    }
};

NORVANE_TEST(BoardArrowsTest);
#include "boardarrows_test.moc"
