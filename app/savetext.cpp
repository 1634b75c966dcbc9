#include "app/savetext.h"

#include <vector>

#include "records/annotations.h"
#include "records/pgnwrite.h"

QByteArray currentGameSaveText() {
    std::vector<char> buffer(GameRecordSize);
    writeGameRecord(buffer.data(), buffer.size());
    // A text that cannot be converted keeps its line feeds; it is still a whole record.
    toCrLf(buffer.data(), buffer.size());
    return QByteArray(buffer.data());
}

bool currentGameSaveTextIsWhole() { return gameAnnotations.notes.empty(); }
