#include "app/enginelist.h"

#include <QCoreApplication>
#include <QStandardPaths>

EngineEntry builtInEngine() {
    EngineEntry entry;
    entry.name      = QStringLiteral("Norvane（内蔵エンジン）");
    entry.program   = QCoreApplication::applicationDirPath() + QStringLiteral("/norvane-cli");
    entry.arguments = {QStringLiteral("uci")};
    entry.builtIn   = true;
    return entry;
}

EngineEntry installedStockfish() {
    EngineEntry entry;
    entry.name    = QStringLiteral("Stockfish");
    entry.program = QStandardPaths::findExecutable(QStringLiteral("stockfish"));
    if (entry.program.isEmpty())
        entry.program = QStandardPaths::findExecutable(QStringLiteral("stockfish"),
                                                       {QStringLiteral("/usr/games")});
    return entry;
}

QList<EngineEntry> availableEngines() {
    QList<EngineEntry> engines{builtInEngine()};
    const EngineEntry  stockfish = installedStockfish();
    if (!stockfish.program.isEmpty()) engines.append(stockfish);
    return engines;
}

EngineEntry analysisEngine() {
    const EngineEntry stockfish = installedStockfish();
    return stockfish.program.isEmpty() ? builtInEngine() : stockfish;
}
