// The board view's 対局棋譜: a game played against the engine is appended to the games file
// when it ends or is left, named with the engine's level (or the UCI opponent's name and level)
// and the user's name.
#include <QDir>

#include <ctime>

#include "app/currentgame.h"
#include "app/gamesfile.h"
#include "app/recoveryfile.h"
#include "records/pgnread.h"
#include "engine/strength.h"
#include "resources/enginetexts.h"
#include "resources/viewtexts.h"
#include "view/norvaneview.h"

namespace {

// The engine's name with its level: "Norvane 中級 (約850)".
std::string engineWithLevel(int level) {
    if (level < BeginnerStrength || level > FullStrength) level = FullStrength;
    return (QString::fromUtf8(ViewText::EngineName) + ' ' +
            QString::fromUtf8(EngineText::Levels[level]).arg(strengthLevels[level].elo))
        .toStdString();
}

// The user's name as the system gives it, or ユーザー.
std::string userName() {
    QString name = qEnvironmentVariable("USER");
    if (name.isEmpty()) name = qEnvironmentVariable("LOGNAME");
    if (name.isEmpty()) name = QString::fromUtf8(ViewText::UserName);
    return name.toStdString();
}

std::string today() {
    const std::time_t now = std::time(nullptr);
    std::tm           local{};
    localtime_r(&now, &local);
    char date[32];
    return std::strftime(date, sizeof date, "%Y.%m.%d", &local) ? date : "";
}

} // namespace

void CNorvaneView::KeepPlayedGame(bool ended) {
    if (m_gameKept || !(m_keepPending || ended)) return;
    m_keepPending = false;
    m_gameKept    = true;
    // The header's tags set in the globals (Termination, TimeControl) go into the tree first.
    syncHeaderFromGlobals();
    RestoreShownPosition();
    const GameTree& tree   = currentGameTree();
    const int       engine = m_engineSide == White || m_engineSide == Black ? m_engineSide : Black;
    // A name the user gave the game's information is kept; the defaults are filled in.
    const auto name = [&](int side) {
        const std::string given = tree.tag(side == White ? "White" : "Black");
        // A UCI opponent is named after its engine with its level from the game's start.
        if (side == engine && m_gameOpponent)
            return given.empty() ? OpponentName().toStdString() : given;
        if (side == engine)
            return given.empty() || given == ViewText::EngineName ? engineWithLevel(m_strengthLevel)
                                                                  : given;
        return given.empty() ? userName() : given;
    };
    if (AppendToGamesFile(tree, name(White), name(Black)) && !m_recoveryPath.isEmpty())
        markRecoveryUnkept(m_recoveryPath, false);
}

bool CNorvaneView::KeepRecoveredGame(const QByteArray& text) {
    GameTree tree;
    if (!parseGameTree(text.constData(), static_cast<std::size_t>(text.size()), tree)) return false;
    // The names the game carried are kept; a side without one is the user's.
    return AppendToGamesFile(tree, tree.tag("White").empty() ? userName() : std::string(),
                             tree.tag("Black").empty() ? userName() : std::string());
}

bool CNorvaneView::AppendToGamesFile(const GameTree& tree, const std::string& white,
                                     const std::string& black) {
    const PlayedGameFacts facts{white, black, today(), "normal"};
    const QString         path    = gamesFilePath();
    const SaveOutcome     outcome = appendToGamesFile(path, keptGame(tree, facts));
    if (!outcome.done)
        MessageBox(QString::fromUtf8(ViewText::GamesFileFailed)
                       .arg(QDir::toNativeSeparators(path), saveFailureReason(outcome)));
    return outcome.done;
}
