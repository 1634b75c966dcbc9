// The text of the current game that every save, copy and recovery file writes: one place that
// decides which writer makes it.
#pragma once

#include <QByteArray>

// The current game (gameHeader, gameMoves and what goes with them) as PGN text with CR LF line
// ends. It plays the game through on the Board and leaves it after the game's last move: the
// caller puts back the position it shows.
QByteArray currentGameSaveText();

// Whether that text holds all of the current game: false while the game has comments, marks
// or side lines that the writer leaves out (it writes the main line).
bool currentGameSaveTextIsWhole();
