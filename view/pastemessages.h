// What a paste or a load says about a position that cannot stand: the reasons of the FEN
// reader in the program's words.
#pragma once

#include <QByteArray>
#include <QString>

// Whether line has the shape of a FEN: a placement of eight ranks split by "/", then at least
// the side to move. Such a line that cannot be set up is explained, not read as moves.
bool looksLikeFen(const QByteArray& line);

// reason, as the FEN reader gives it (engine/fensetup.h), in Japanese.
QString fenProblemReason(const char* reason);

// The message on a pasted FEN that cannot be set up (reason: the FEN reader's).
QString pastedFenMessage(const char* reason);
