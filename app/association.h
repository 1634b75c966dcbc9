// Registering the program for .pgn files the freedesktop way: a desktop entry under the
// user's data folder ($XDG_DATA_HOME, default ~/.local/share) for the MIME type the system
// already defines for *.pgn, made the default handler where the tools for that exist.
#pragma once

#include <QString>

// The desktop entry's text for the program at exe, opening one file.
QString pgnDesktopEntry(const QString& exe);

// Writes the desktop entry (and the program's icon, when it has one), then refreshes the
// desktop database and sets the default handler where update-desktop-database and xdg-mime
// are installed. Answers whether the entry was written; the tools' failures are ignored.
bool registerPgnAssociation(const QString& exe);
