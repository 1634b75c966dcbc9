// The engines the desktop can run: the built-in one (norvane-cli uci, installed beside the
// program) always, Stockfish when it is installed, and the engines the user added by their
// program file. Each runs as its own process through EngineProcess. The user's engines, the
// option values set for every engine, and the engine that analyses are kept in the settings.
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>

class EngineProcess;

struct EngineEntry {
    enum Kind { BuiltIn, Stockfish, User };

    QString     name;      // as menus and panes show it; unique among the engines
    QString     program;   // the program file
    QStringList arguments; // {"uci"} for the built-in engine
    bool        builtIn = false;
    Kind        kind    = User;
    // Option values the user chose, sent with setoption after the handshake, in this order.
    // A button's value is a null QString: it is sent without a value.
    QList<QPair<QString, QString>> options;

    bool operator==(const EngineEntry&) const = default;
};

// The built-in engine: norvane-cli beside the running program, speaking UCI.
EngineEntry builtInEngine();
// Stockfish, looked for in PATH and then in /usr/games (where Debian puts it); an entry with an
// empty program when it is not installed.
EngineEntry installedStockfish();
// The engines the user added, as kept in the settings.
QList<EngineEntry> userEngines();
// Every engine that can be chosen, each with its kept option values: the built-in one first,
// then Stockfish when installed, then the user's engines in the order they were added.
QList<EngineEntry> availableEngines();
// Keeps engines in the settings: the user's engines (those of kind User, replacing the ones
// kept before) and the option values of every entry.
void storeEngines(const QList<EngineEntry>& engines);

// The name of the engine chosen to analyse, as kept (empty when none was chosen).
QString storedAnalysisEngineName();
void    storeAnalysisEngineName(const QString& name);
// The engine that analyses, with its option values: the chosen one while it is still there,
// otherwise Stockfish where it is installed, otherwise the built-in one.
EngineEntry analysisEngine();

// name, or name with " (2)", " (3)"... when an engine of engines already has it.
QString uniqueEngineName(const QString& name, const QList<EngineEntry>& engines);

// The value setoption sends for a kept option: none for a button.
std::optional<std::string> engineOptionValue(const QString& value);
// Sends the entry's kept option values to an engine that has completed its handshake; false
// when the session failed on the way.
bool sendEngineOptions(EngineProcess& process, const EngineEntry& entry);
