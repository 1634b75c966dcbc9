// The engines the desktop can run: the built-in one (norvane-cli uci, installed beside the
// program) always, Stockfish when it is installed, and the engines the user added. Each runs
// as its own process through EngineProcess.
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

struct EngineEntry {
    QString     name;       // as menus and panes show it
    QString     program;    // the program file
    QStringList arguments;  // {"uci"} for the built-in engine
    bool        builtIn = false;
    // Option values the user chose, sent with setoption after the handshake, in this order.
    QList<QPair<QString, QString>> options;

    bool operator==(const EngineEntry&) const = default;
};

// The built-in engine: norvane-cli beside the running program, speaking UCI.
EngineEntry builtInEngine();
// Stockfish, looked for in PATH and then in /usr/games (where Debian puts it); an entry with an
// empty program when it is not installed.
EngineEntry installedStockfish();
// Every engine that can be chosen: the built-in one first, then Stockfish when installed.
QList<EngineEntry> availableEngines();
// The engine that analyses: Stockfish where it is installed, otherwise the built-in one.
EngineEntry analysisEngine();
