// An engine run as a QProcess: the built-in engine's handshake and search, and each way an
// engine can fail (a program that does not exist, one that exits, one that writes garbage,
// one that never answers), each ending in one failure with no process left behind. Timeouts
// are made short; the waits are upper bounds that a working engine never reaches.
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <signal.h>

#include "app/enginelist.h"
#include "app/engineprocess.h"
#include "tests/app/scriptengine.h"
#include "tests/qtestmain.h"

namespace {

constexpr int WaitMs = 20000;

} // namespace

class EngineProcessTest : public QObject {
    Q_OBJECT
private slots:
    void builtInEngineSearches() {
        const EngineEntry engine = builtInEngine();
        QCOMPARE(engine.program, QCoreApplication::applicationDirPath() + "/norvane-cli");
        EngineProcess process;
        QSignalSpy    handshaken(&process, &EngineProcess::handshaken);
        QSignalSpy    best(&process, &EngineProcess::bestMoveReceived);
        QSignalSpy    failed(&process, &EngineProcess::sessionFailed);
        process.start(engine.program, engine.arguments);
        QVERIFY(handshaken.wait(WaitMs));
        QCOMPARE(QString::fromStdString(process.client().engineName()), QString("Norvane"));
        UciGo limits;
        limits.depth = 3;
        // Out of the book, so that the answer comes from a search with its lines.
        QVERIFY(process.go("8/8/4k3/8/8/3K4/4P3/8 w - - 0 1", {}, limits));
        QVERIFY(best.wait(WaitMs));
        QVERIFY(process.client().bestMove().has_value());
        QVERIFY(!process.client().bestMove()->move.empty());
        QVERIFY(!process.client().lines().empty());
        QCOMPARE(failed.count(), 0);
    }

    void failuresAreReportedOnceAndTheProcessEnds_data() {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<int>("kind");
        QTest::newRow("exits at once") << QByteArray("exit 3\n") << int(UciErrorKind::Exited);
        QTest::newRow("never answers")
            << QByteArray("exec sleep 600\n") << int(UciErrorKind::HandshakeTimeout);
        QTest::newRow("garbage") << QByteArray("read line; printf '\\001\\002\\377\\n'; exec sleep 600\n")
                                 << int(UciErrorKind::Garbage);
        QTest::newRow("dies mid-search")
            << QByteArray("while read line; do case $line in uci) echo uciok;; go*) exit 9;; esac; done\n")
            << int(UciErrorKind::Exited);
    }
    void failuresAreReportedOnceAndTheProcessEnds() {
        QFETCH(QByteArray, script);
        QFETCH(int, kind);
        QTemporaryDir folder;
        const QString program = writeScript(folder, "engine", script);
        UciTimeouts   timeouts;
        timeouts.handshakeMs = 300;
        EngineProcess process(nullptr, timeouts);
        QSignalSpy    failed(&process, &EngineProcess::sessionFailed);
        QSignalSpy    handshaken(&process, &EngineProcess::handshaken);
        process.start(program, {});
        QTRY_VERIFY_WITH_TIMEOUT(handshaken.count() + failed.count() > 0, WaitMs);
        if (failed.isEmpty()) process.go("", {}, UciGo{});
        QTRY_VERIFY_WITH_TIMEOUT(!failed.isEmpty(), WaitMs);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(int(process.error().kind), kind);
        QVERIFY(process.failed());
        QTest::qWait(50);
        QCOMPARE(failed.count(), 1);
    }

    void aMissingProgramFailsToStart() {
        EngineProcess process;
        QSignalSpy    failed(&process, &EngineProcess::sessionFailed);
        process.start("/nonexistent/engine", {});
        QVERIFY(failed.count() == 1 || failed.wait(WaitMs));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(process.error().kind, UciErrorKind::StartFailed);
    }

    void destroyingTheObjectEndsTheEngine() {
        QTemporaryDir folder;
        // An engine that ignores quit and the end of its input.
        const QString program = writeScript(
            folder, "stubborn", "trap '' TERM\necho uciok\nexec sleep 600\n");
        qint64 pid = 0;
        {
            EngineProcess process;
            QSignalSpy    handshaken(&process, &EngineProcess::handshaken);
            process.start(program, {});
            QVERIFY(handshaken.wait(WaitMs));
            pid = process.processId();
            QVERIFY(pid > 0);
        }
        QVERIFY(::kill(static_cast<pid_t>(pid), 0) != 0);
    }
};

NORVANE_TEST(EngineProcessTest);
#include "engineprocess_test.moc"
