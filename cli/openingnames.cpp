#include "cli/openingnames.h"

#include "book/namedline.h"
#include "records/game.h"

bool readOpeningNameOptions(const ParsedArguments& parsed, OpeningNameSettings& names,
                            std::string& error) {
    names.keepLastNamed = parsed.has("--last-named");
    if (!parsed.has("--names")) return true;
    const std::string value = parsed.value("--names");
    if (value == "en")
        names.language = NamesEnglish;
    else if (value == "ja")
        names.language = NamesJapanese;
    else {
        error = "--names needs en or ja";
        return false;
    }
    return true;
}

std::string openingLine(const OpeningNameSettings& names) {
    const NamedPosition named =
        shownOpening(names, {gameMoves, static_cast<std::size_t>(gamePly)});
    char label[OpeningTextSize];
    openingLabelText(named, names, label, sizeof label);
    return label[0] ? "opening: " + std::string(label) + "\n" : "";
}
