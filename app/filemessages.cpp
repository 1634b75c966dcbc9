#include "app/filemessages.h"

#include <string>

QString fileProblemMessage(const ScanFailure& failure) {
    // The same words whether no game could be read or the file changed under a search.
    const std::string text = "ファイルを開くのに失敗しました\n\n" + std::to_string(failure.line) +
                             "行目\n" + failure.text + "\n";
    return QString::fromUtf8(text);
}

QString skippedGamesMessage(std::int64_t skipped, const std::vector<ScanFailure>& places) {
    std::string text = "読み込めない棋譜が";
    text.append(std::to_string(skipped)).append("局ありました。読み込めた棋譜だけを開きます。\n");
    for (const ScanFailure& place : places)
        text.append("\n").append(std::to_string(place.line)).append("行目\n").append(place.text).append("\n");
    if (skipped > static_cast<std::int64_t>(places.size())) text.append("\n…\n");
    return QString::fromUtf8(text);
}
