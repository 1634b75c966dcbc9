#include "app/savetext.h"

#include <string>
#include <vector>

#include "app/currentgame.h"
#include "records/gametreewrite.h"
#include "records/pgnwrite.h"

QByteArray currentGameSaveText() {
    const std::string text = writeGameTree(currentGameTree());
    QByteArray        bytes;
    bytes.reserve(static_cast<qsizetype>(text.size() + text.size() / 40));
    for (const char c : text) {
        if (c == '\n') bytes.append('\r');
        bytes.append(c);
    }
    return bytes;
}

QByteArray currentGameMainLineText() {
    std::vector<char> buffer(GameRecordSize);
    writeGameRecord(buffer.data(), buffer.size());
    // A text that cannot be converted keeps its line feeds; it is still a whole record.
    toCrLf(buffer.data(), buffer.size());
    return QByteArray(buffer.data());
}
