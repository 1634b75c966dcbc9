// The opening-name options of the subcommands that name openings ("--names en|ja",
// "--last-named") and the opening line they print, named as the desktop program names it.
#pragma once

#include <string>

#include "book/openings.h"
#include "cli/options.h"

inline constexpr KnownOption NamesOption     = {"--names", true};
inline constexpr KnownOption LastNamedOption = {"--last-named", false};

// The settings the parsed options ask for; false, with error set, for a --names value other
// than en or ja.
bool readOpeningNameOptions(const ParsedArguments& parsed, OpeningNameSettings& names,
                            std::string& error);

// "opening: B90 Sicilian: Najdorf" for the Board after the current game's moves, under names;
// "" when the position shows no opening.
std::string openingLine(const OpeningNameSettings& names);
