// The evaluation bar and the arrows in the main window: the bar stands left of the board, as
// tall as the board at every size, and goes with its snapshot, leaving the window as it was.
// With NORVANE_SHOT_DIR set, the window with an analysis shown is saved there for people to
// look at.
#include <QDir>
#include <QScrollArea>
#include <QSettings>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>

#include "app/mainframe.h"
#include "app/norvaneapp.h"
#include "tests/qtestmain.h"
#include "view/analysissnapshot.h"
#include "view/evalbar.h"
#include "view/norvaneview.h"

namespace {

AnalysisSnapshot openingAnalysis() {
    AnalysisSnapshot snapshot;
    snapshot.engineName = "Stockfish";
    const struct {
        const char* coords;
        const char* san;
        int         cp;
    } lines[]   = {{"e2e4", "e4", 35}, {"d2d4", "d4", 28}, {"g1f3", "Nf3", 22}};
    int multipv = 1;
    for (const auto& l : lines) {
        AnalysisLine line;
        line.multipv = multipv++;
        line.score   = {UciScore::Centipawns, l.cp};
        line.line.coords.push_back(l.coords);
        line.line.san.push_back(l.san);
        snapshot.lines.push_back(line);
    }
    return snapshot;
}

void saveShot(QWidget& window, const QString& name) {
    const QString folder = qEnvironmentVariable("NORVANE_SHOT_DIR");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    window.grab().save(QDir(folder).filePath(name));
}

} // namespace

class AnalysisOnBoardTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_settings;

private slots:
    void initTestCase() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
    }

    void theBarStandsBesideTheBoardAsTallAsItAndGoesWithItsSnapshot() {
        CNorvaneApp app;
        QVERIFY(app.InitInstance({"norvane"}));
        CMainFrame&   frame = *app.GetMainFrame();
        CNorvaneView* view  = frame.GetBoardView();
        EvalBar*      bar   = frame.GetEvalBar();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(bar->isHidden());
        const QRect paneBefore = frame.GetBoardPane()->geometry();

        const AnalysisSnapshot snapshot = openingAnalysis();
        for (const QSize size : {CMainFrame::BoardOnlySize, QSize(1000, 800)}) {
            frame.resize(size);
            bar->ShowAnalysis(&snapshot);
            view->ShowAnalysisArrows(&snapshot);
            const auto boardSide = [view] {
                return int(view->Geometry().Side() / view->DevicePixelRatio());
            };
            QTRY_COMPARE(bar->height(), boardSide());
            QVERIFY(bar->isVisible());
            const QPoint barAt   = bar->mapTo(&frame, QPoint(0, 0));
            const QPoint boardAt = view->mapTo(&frame, QPoint(0, 0));
            QCOMPARE(barAt.y(), boardAt.y());
            QVERIFY(barAt.x() + bar->width() <= boardAt.x());
            QCOMPARE(view->AnalysisArrows().size(), std::size_t{3});
            saveShot(frame,
                     QString("analysis-on-board-%1x%2.png").arg(size.width()).arg(size.height()));
        }

        // The shown bar never keeps the window from growing smaller.
        frame.resize(CMainFrame::BoardOnlySize);
        QTRY_COMPARE(frame.size(), CMainFrame::BoardOnlySize);
        bar->ShowAnalysis(nullptr);
        view->ShowAnalysisArrows(nullptr);
        QVERIFY(bar->isHidden());
        QTRY_COMPARE(frame.GetBoardPane()->geometry(), paneBefore);
    }
};

NORVANE_TEST(AnalysisOnBoardTest);
#include "analysisonboard_test.moc"
