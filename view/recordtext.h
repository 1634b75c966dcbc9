// Text from game records for display: the bytes of files and the clipboard decoded as UTF-8
// where they are valid UTF-8, as Shift_JIS where they can only be that, else as Latin-1 (the
// character set of the PGN standard).
#pragma once

#include <QByteArray>
#include <QString>

QString recordText(const char* bytes, qsizetype length = -1);
QString recordText(const QByteArray& bytes);
