// The opening-name options of the subcommands that name openings ("--names en|ja",
// "--last-named") and the opening line they print, named as the desktop program names it.
#pragma once

#include <string>

#include "book/openings.h"
#include "cli/common.h"

inline constexpr int OptionOther = 0, OptionRead = 1, OptionBad = -1;

// Reads the opening-name option at args[i], if it is one: "--names en|ja" (i then moves on to
// its value) or "--last-named". OptionRead when it was one, OptionOther when args[i] is some
// other argument, OptionBad with error set for a missing or unknown value.
int readOpeningNameOption(const Arguments& args, std::size_t& i, OpeningNameSettings& names,
                          std::string& error);

// "opening: B90 Sicilian: Najdorf" for the Board after the current game's moves, under names;
// "" when the position shows no opening.
std::string openingLine(const OpeningNameSettings& names);
