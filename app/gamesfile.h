// 対局棋譜: every game played against an engine, appended to one PGN file in the user's data
// folder (or the file a setting names) when it ends or is left, with the players' names, the
// date, the time control, the result and how the game ended.
#pragma once

#include <QString>

#include <string>

#include "app/savefile.h"
#include "records/gametree.h"

// The setting that names another games file; empty or missing: the default.
inline constexpr const char* GamesFileKey = "games/file";

// The games file: the setting's, or games.pgn in the application's data folder.
QString gamesFilePath();

// What the kept copy of a played game says of it beyond its tree.
struct PlayedGameFacts {
    std::string white, black; // the players' names
    std::string date;         // "2024.05.01"; kept from the tree when it has one
    // How the game ended ("normal", "time forfeit"); kept from the tree when it has one.
    // A game left before its end is "*" with "abandoned".
    std::string termination;
};

// The tree as it is kept: the names, the date and the termination set (a game without a
// result gets Termination "abandoned", whatever it held).
GameTree keptGame(GameTree tree, const PlayedGameFacts& facts);

// Appends the game's text (CR LF line ends) to path, making its folder when missing; an
// append that fails leaves the file as it was.
SaveOutcome appendToGamesFile(const QString& path, const GameTree& game,
                              const SaveCalls& calls = systemSaveCalls());
