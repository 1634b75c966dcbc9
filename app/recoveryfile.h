// The recovery file: the game in progress, written after each of its moves, so that a crash
// loses at most the last move; the next start offers it again.
#pragma once

#include <QByteArray>
#include <QString>

// recovery.pgn in the user's data folder.
QString recoveryFilePath();

// Writes text as the file at path, whole or not at all (a temporary file renamed over it);
// the folder is made when missing. False when it could not be written.
bool writeRecoveryFile(const QString& path, const QByteArray& text);
// Removes the file and its mark; nothing when there is none.
void removeRecoveryFile(const QString& path);
// A game against the engine that is not in the games file yet is marked by a second file
// beside the recovery file (PATH.unkept), so that a game cut off by a crash is kept at the
// next start. markRecoveryUnkept sets or clears the mark.
void markRecoveryUnkept(const QString& path, bool unkept);
bool recoveryUnkept(const QString& path);
// The file's text; empty when there is none or it cannot be read.
QByteArray readRecoveryFile(const QString& path);
