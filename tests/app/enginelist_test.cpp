// The engines that can be chosen: the user's engines and every engine's option values kept in
// the settings and read back, the analysis engine chosen by name with its fallback, and
// Stockfish found in PATH or in /usr/games.
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "app/enginelist.h"
#include "app/engineprocess.h"
#include "tests/qtestmain.h"

namespace {

// Sets PATH for the life of the object.
class PathOverride {
public:
    explicit PathOverride(const QByteArray& path) : m_saved(qgetenv("PATH")) {
        qputenv("PATH", path);
    }
    ~PathOverride() { qputenv("PATH", m_saved); }

private:
    QByteArray m_saved;
};

EngineEntry userEngine(const QString& name, const QString& program) {
    EngineEntry entry;
    entry.name    = name;
    entry.program = program;
    return entry;
}

const EngineEntry* byName(const QList<EngineEntry>& engines, const QString& name) {
    for (const EngineEntry& entry : engines)
        if (entry.name == name) return &entry;
    return nullptr;
}

} // namespace

class EngineListTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_settings;

private slots:
    void init() {
        QVERIFY(m_settings.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        QSettings().clear();
    }

    void enginesAndOptionsRoundTripThroughTheSettings() {
        QList<EngineEntry> engines = availableEngines();
        QCOMPARE(engines.front().kind, EngineEntry::BuiltIn);
        engines.front().options = {{"Hash", "64"}};
        EngineEntry first =
            userEngine(QStringLiteral("Fish 17 改"), QStringLiteral("/opt/エンジン/fish, 17"));
        // Names and values with spaces, commas, slashes, quotes and nothing at all; a button.
        first.options            = {{"Skill Level", "5"},
                                    {"SyzygyPath", "/a/b,c;d \"e\""},
                                    {"Empty", ""},
                                    {"Clear Hash", QString()}};
        const EngineEntry second = userEngine("Second", "/usr/local/bin/second");
        engines << first << second;
        storeEngines(engines);

        const QList<EngineEntry> read = availableEngines();
        QCOMPARE(read.front().options, engines.front().options);
        const EngineEntry* readFirst = byName(read, first.name);
        QVERIFY(readFirst);
        QCOMPARE(readFirst->program, first.program);
        QCOMPARE(readFirst->kind, EngineEntry::User);
        QCOMPARE(readFirst->options, first.options);
        QVERIFY(readFirst->options.back().second.isNull()); // still a button
        QVERIFY(!readFirst->options[2].second.isNull());    // still an empty value
        QCOMPARE(userEngines().size(), 2);
        QCOMPARE(userEngines().back().name, QString("Second"));

        // Storing again replaces the user's engines: a removed one is gone.
        engines.removeAll(second);
        storeEngines(engines);
        QCOMPARE(userEngines().size(), 1);
        QVERIFY(!byName(availableEngines(), "Second"));
    }

    void theChosenAnalysisEngineFallsBackWhenItIsGone() {
        const bool hasStockfish = !installedStockfish().program.isEmpty();
        const auto fallback     = hasStockfish ? EngineEntry::Stockfish : EngineEntry::BuiltIn;
        QCOMPARE(analysisEngine().kind, fallback); // nothing chosen

        EngineEntry mine = userEngine("Mine", "/opt/mine");
        mine.options     = {{"Threads", "2"}};
        storeEngines({builtInEngine(), mine});
        storeAnalysisEngineName("Mine");
        QCOMPARE(analysisEngine(), availableEngines().back());
        QCOMPARE(analysisEngine().options, mine.options);

        storeAnalysisEngineName(builtInEngine().name);
        QCOMPARE(analysisEngine().kind, EngineEntry::BuiltIn);

        storeEngines({builtInEngine()}); // "Mine" removed while chosen
        storeAnalysisEngineName("Mine");
        QCOMPARE(analysisEngine().kind, fallback);
    }

    void aUserEngineNeverTakesAnotherEnginesName() {
        QSettings settings;
        settings.beginWriteArray("engines/user");
        settings.setArrayIndex(0);
        settings.setValue("name", builtInEngine().name);
        settings.setValue("program", "/opt/copy");
        settings.setArrayIndex(1);
        settings.setValue("name", "NoProgram"); // damaged: no program, left out
        settings.endArray();
        settings.sync();
        const QList<EngineEntry> engines = availableEngines();
        QCOMPARE(engines.back().name, builtInEngine().name + " (2)");
        QVERIFY(!byName(engines, "NoProgram"));
        QCOMPARE(uniqueEngineName("X", {userEngine("X", "a"), userEngine("X (2)", "b")}),
                 QString("X (3)"));
    }

    void stockfishIsFoundInPathThenInUsrGames() {
        QTemporaryDir folder;
        const QString fake = folder.filePath("stockfish");
        QFile         file(fake);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        {
            PathOverride path(folder.path().toUtf8() + ":/usr/bin");
            QCOMPARE(installedStockfish().program, fake);
            QCOMPARE(availableEngines().at(1).program, fake);
        }
        QTemporaryDir empty;
        PathOverride  path(empty.path().toUtf8());
        const bool    inGames = QFile::exists("/usr/games/stockfish");
        QCOMPARE(installedStockfish().program,
                 inGames ? QString("/usr/games/stockfish") : QString());
        QCOMPARE(availableEngines().size(), inGames ? 2 : 1);
    }

    void theKeptValuesAreSentAfterTheHandshake() {
        QTemporaryDir folder;
        const QString heard  = folder.filePath("heard");
        const QString script = folder.filePath("engine");
        QFile         file(script);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\nwhile read line; do case \"$line\" in\n"
                   "uci) echo uciok;; isready) echo readyok;; quit) exit 0;;\n"
                   "setoption*) echo \"$line\" >> '" +
                   heard.toUtf8() + "';; esac; done\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EngineEntry entry = userEngine("Listener", script);
        entry.options = {{"Skill Level", "5"}, {"Book File", "<empty>"}, {"Clear Hash", QString()}};
        EngineProcess process;
        QSignalSpy    handshaken(&process, &EngineProcess::handshaken);
        QSignalSpy    ready(&process, &EngineProcess::ready);
        process.start(entry.program, entry.arguments);
        QVERIFY(handshaken.wait(20000));
        QVERIFY(sendEngineOptions(process, entry));
        QVERIFY(process.isReady());
        QVERIFY(ready.count() == 1 || ready.wait(20000));
        QFile lines(heard);
        QVERIFY(lines.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(lines.readAll()),
                 QString("setoption name Skill Level value 5\n"
                         "setoption name Book File value <empty>\n"
                         "setoption name Clear Hash\n"));
    }
};

NORVANE_TEST(EngineListTest);
#include "enginelist_test.moc"
