#include "app/gamesfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>

#include "records/gametreewrite.h"

namespace {

// Sets the first tag named name to value, adding it after the others when there is none.
void putTag(GameTree& tree, const char* name, const std::string& value) {
    const auto it = std::find_if(tree.tags.begin(), tree.tags.end(),
                                 [name](const GameTag& tag) { return tag.name == name; });
    if (it != tree.tags.end())
        it->value = value;
    else
        tree.tags.push_back({name, value});
}

} // namespace

QString gamesFilePath() {
    const QString chosen = QSettings().value(GamesFileKey).toString();
    if (!chosen.isEmpty()) return chosen;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath("games.pgn");
}

GameTree keptGame(GameTree tree, const PlayedGameFacts& facts) {
    if (!facts.white.empty()) putTag(tree, "White", facts.white);
    if (!facts.black.empty()) putTag(tree, "Black", facts.black);
    if (tree.tag("Date").empty() && !facts.date.empty()) putTag(tree, "Date", facts.date);
    if (tree.termination == "*")
        putTag(tree, "Termination", "abandoned");
    else if (tree.tag("Termination").empty() && !facts.termination.empty())
        putTag(tree, "Termination", facts.termination);
    return tree;
}

SaveOutcome appendToGamesFile(const QString& path, const GameTree& game, const SaveCalls& calls) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const std::string text = writeGameTree(game);
    QByteArray        bytes;
    bytes.reserve(static_cast<qsizetype>(text.size() + text.size() / 40));
    for (const char c : text) {
        if (c == '\n') bytes.append('\r');
        bytes.append(c);
    }
    return appendToFile(path, bytes, calls);
}
