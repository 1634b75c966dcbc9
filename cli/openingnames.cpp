#include "cli/openingnames.h"

#include "book/namedline.h"
#include "records/game.h"

int readOpeningNameOption(const Arguments& args, std::size_t& i, OpeningNameSettings& names,
                          std::string& error) {
    if (args[i] == "--last-named") {
        names.keepLastNamed = true;
        return OptionRead;
    }
    if (args[i] != "--names") return OptionOther;
    const std::string value = i + 1 < args.size() ? args[++i] : "";
    if (value == "en")
        names.language = NamesEnglish;
    else if (value == "ja")
        names.language = NamesJapanese;
    else {
        error = "--names needs en or ja";
        return OptionBad;
    }
    return OptionRead;
}

std::string openingLine(const OpeningNameSettings& names) {
    const NamedPosition named =
        shownOpening(names, {gameMoves, static_cast<std::size_t>(gamePly)});
    char label[OpeningTextSize];
    openingLabelText(named, names, label, sizeof label);
    return label[0] ? "opening: " + std::string(label) + "\n" : "";
}
