// The texts of the current game that saving and copying write: one place that decides which
// writer makes each.
#pragma once

#include <QByteArray>

// The current game's tree (app/currentgame.h) as PGN text with CR LF line ends: every tag,
// comment, mark and side line. What 保存, 上書き保存, the recovery file and
// 注釈付きでコピー write.
QByteArray currentGameSaveText();

// The current game's main line (gameHeader, gameMoves and what goes with them) as PGN text
// with CR LF line ends, as 棋譜のコピー has always copied it. It plays the game through on the
// Board and leaves it after the game's last move: the caller puts back the position it shows.
QByteArray currentGameMainLineText();
