// The UCI engine's options: one row each in the table of ucioptions.cpp, listed by "uci" and
// set by "setoption name NAME [value VALUE]". A new option is a field of UciSettings, a row of
// the table, and its effect in applyUciSettings.
#pragma once

#include <string>

#include "engine/strength.h"
#include "engine/think.h"

struct UciSettings {
    bool ownBook = true;  // probe the opening book before searching
    // UCI_LimitStrength with UCI_Elo, or else Skill Level (20: full), choose the level.
    bool limitStrength = false;
    int  elo           = strengthLevels[FullStrength].elo;
    int  skill         = 20;
    int  multiPv       = 1;      // lines per search: the best move, the best of the rest...
    bool ponder        = false;  // the GUI may send go ponder; the engine needs nothing for it
};

// The "option name ..." line of every option, in table order, each passed to say.
void listUciOptions(void (*say)(const std::string& line));

// Applies the words after "setoption". False when the option is unknown or the value does not
// fit it; then settings are unchanged.
bool setUciOption(const std::string& words, UciSettings& settings);

// Makes one search's limits follow the settings.
void applyUciSettings(const UciSettings& settings, ThinkLimits& limits);
