#include "app/enginelist.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>

#include "app/engineprocess.h"

namespace {

// Settings keys (ASCII, as the settings file escapes others).
const char* const AnalysisKey         = "engines/analysis";
const char* const BuiltInOptionsKey   = "engines/builtin/options";
const char* const BuiltInButtonsKey   = "engines/builtin/buttons";
const char* const StockfishOptionsKey = "engines/stockfish/options";
const char* const StockfishButtonsKey = "engines/stockfish/buttons";
const char* const UserArray           = "engines/user";

// Option values are kept as a list of names and values taken in turn, and the buttons to send
// as a list of their names, so that names with spaces or slashes are kept as they are.
void writeOptions(QSettings& settings, const QString& valuesKey, const QString& buttonsKey,
                  const QList<QPair<QString, QString>>& options) {
    QStringList values, buttons;
    for (const auto& [name, value] : options) {
        if (value.isNull())
            buttons << name;
        else
            values << name << value;
    }
    settings.setValue(valuesKey, values);
    settings.setValue(buttonsKey, buttons);
}

QList<QPair<QString, QString>> readOptions(const QSettings& settings, const QString& valuesKey,
                                           const QString& buttonsKey) {
    QList<QPair<QString, QString>> options;
    const QStringList              values = settings.value(valuesKey).toStringList();
    for (qsizetype i = 0; i + 1 < values.size(); i += 2)
        if (!values[i].isEmpty()) options.append({values[i], values[i + 1]});
    for (const QString& button : settings.value(buttonsKey).toStringList())
        if (!button.isEmpty()) options.append({button, QString()});
    return options;
}

} // namespace

EngineEntry builtInEngine() {
    EngineEntry entry;
    entry.name      = QStringLiteral("Norvane（内蔵エンジン）");
    entry.program   = QCoreApplication::applicationDirPath() + QStringLiteral("/norvane-cli");
    entry.arguments = {QStringLiteral("uci")};
    entry.builtIn   = true;
    entry.kind      = EngineEntry::BuiltIn;
    return entry;
}

EngineEntry installedStockfish() {
    EngineEntry entry;
    entry.name    = QStringLiteral("Stockfish");
    entry.kind    = EngineEntry::Stockfish;
    entry.program = QStandardPaths::findExecutable(QStringLiteral("stockfish"));
    if (entry.program.isEmpty())
        entry.program = QStandardPaths::findExecutable(QStringLiteral("stockfish"),
                                                       {QStringLiteral("/usr/games")});
    return entry;
}

QList<EngineEntry> userEngines() {
    QSettings          settings;
    QList<EngineEntry> engines;
    const int          count = settings.beginReadArray(UserArray);
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        EngineEntry entry;
        entry.name    = settings.value("name").toString();
        entry.program = settings.value("program").toString();
        entry.options = readOptions(settings, "options", "buttons");
        // An entry without a program or a name cannot be run or shown: a damaged file.
        if (!entry.name.isEmpty() && !entry.program.isEmpty()) engines.append(entry);
    }
    settings.endArray();
    return engines;
}

QList<EngineEntry> availableEngines() {
    QSettings   settings;
    EngineEntry builtIn = builtInEngine();
    builtIn.options     = readOptions(settings, BuiltInOptionsKey, BuiltInButtonsKey);
    QList<EngineEntry> engines{builtIn};
    EngineEntry        stockfish = installedStockfish();
    if (!stockfish.program.isEmpty()) {
        stockfish.options = readOptions(settings, StockfishOptionsKey, StockfishButtonsKey);
        engines.append(stockfish);
    }
    for (EngineEntry& user : userEngines()) {
        // Names are unique: a user's engine never hides another by taking its name.
        user.name = uniqueEngineName(user.name, engines);
        engines.append(user);
    }
    return engines;
}

void storeEngines(const QList<EngineEntry>& engines) {
    QSettings settings;
    settings.remove(UserArray);
    settings.beginWriteArray(UserArray);
    int index = 0;
    for (const EngineEntry& entry : engines) {
        if (entry.kind != EngineEntry::User) continue;
        settings.setArrayIndex(index++);
        settings.setValue("name", entry.name);
        settings.setValue("program", entry.program);
        writeOptions(settings, "options", "buttons", entry.options);
    }
    settings.endArray();
    for (const EngineEntry& entry : engines) {
        if (entry.kind == EngineEntry::BuiltIn)
            writeOptions(settings, BuiltInOptionsKey, BuiltInButtonsKey, entry.options);
        else if (entry.kind == EngineEntry::Stockfish)
            writeOptions(settings, StockfishOptionsKey, StockfishButtonsKey, entry.options);
    }
}

QString storedAnalysisEngineName() { return QSettings().value(AnalysisKey).toString(); }

void storeAnalysisEngineName(const QString& name) { QSettings().setValue(AnalysisKey, name); }

EngineEntry analysisEngine() {
    const QList<EngineEntry> engines = availableEngines();
    const QString            chosen  = storedAnalysisEngineName();
    for (const EngineEntry& entry : engines)
        if (!chosen.isEmpty() && entry.name == chosen) return entry;
    for (const EngineEntry& entry : engines)
        if (entry.kind == EngineEntry::Stockfish) return entry;
    return engines.front();
}

QString uniqueEngineName(const QString& name, const QList<EngineEntry>& engines) {
    const auto taken = [&engines](const QString& candidate) {
        for (const EngineEntry& entry : engines)
            if (entry.name == candidate) return true;
        return false;
    };
    QString candidate = name;
    for (int n = 2; taken(candidate); ++n)
        candidate = QStringLiteral("%1 (%2)").arg(name).arg(n);
    return candidate;
}

std::optional<std::string> engineOptionValue(const QString& value) {
    if (value.isNull()) return std::nullopt;
    return value.toStdString();
}

bool sendEngineOptions(EngineProcess& process, const EngineEntry& entry) {
    for (const auto& [name, value] : entry.options)
        if (!process.setOption(name.toStdString(), engineOptionValue(value))) return false;
    return true;
}
