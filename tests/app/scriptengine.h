// Small engines written as shell scripts, for the tests of how the desktop runs engines.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// Writes "#!/bin/sh" and body into folder/name, made executable; answers its path.
inline QString writeScript(const QTemporaryDir& folder, const QString& name, const QByteArray& body) {
    const QString path = folder.filePath(name);
    QFile         file(path);
    file.open(QIODevice::WriteOnly);
    file.write("#!/bin/sh\n" + body);
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}
