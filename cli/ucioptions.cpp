#include "cli/ucioptions.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "cli/common.h"

namespace {

struct UciOption {
    const char* name;
    const char* type;  // "check" (value true or false) or "spin" (a whole number in [min, max])
    long long   defaultValue, min, max;
    void (*set)(UciSettings& settings, long long value);
};

const UciOption options[] = {
    {"OwnBook", "check", 1, 0, 1, [](UciSettings& s, long long v) { s.ownBook = v != 0; }},
    {"UCI_LimitStrength", "check", 0, 0, 1, [](UciSettings& s, long long v) { s.limitStrength = v != 0; }},
    {"UCI_Elo", "spin", strengthLevels[FullStrength].elo, strengthLevels[BeginnerStrength].elo,
     strengthLevels[FullStrength].elo, [](UciSettings& s, long long v) { s.elo = static_cast<int>(v); }},
    {"Skill Level", "spin", 20, 0, 20, [](UciSettings& s, long long v) { s.skill = static_cast<int>(v); }},
    {"MultiPV", "spin", 1, 1, MaxSearchLines, [](UciSettings& s, long long v) { s.multiPv = static_cast<int>(v); }},
    {"Ponder", "check", 0, 0, 1, [](UciSettings& s, long long v) { s.ponder = v != 0; }},
};

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The value text as the option's number: "true"/"false" for a check, digits (a leading minus
// allowed) within the bounds for a spin.
bool readValue(const UciOption& option, const std::string& text, long long& value) {
    if (std::string(option.type) == "check") {
        if (lowerCase(text) != "true" && lowerCase(text) != "false") return false;
        value = lowerCase(text) == "true";
        return true;
    }
    const bool negative = !text.empty() && text[0] == '-';
    long long  n        = 0;
    if (!readNumber(negative ? text.substr(1) : text, 0, 1000000000000LL, n)) return false;
    n = negative ? -n : n;
    if (n < option.min || n > option.max) return false;
    value = n;
    return true;
}

}  // namespace

void listUciOptions(void (*say)(const std::string& line)) {
    for (const UciOption& option : options) {
        std::string line = std::string("option name ") + option.name + " type " + option.type + " default ";
        if (std::string(option.type) == "check") {
            line += option.defaultValue ? "true" : "false";
        } else {
            line += std::to_string(option.defaultValue) + " min " + std::to_string(option.min) +
                    " max " + std::to_string(option.max);
        }
        say(line);
    }
}

bool setUciOption(const std::string& words, UciSettings& settings) {
    // "name" WORD... ["value" WORD...]: both the name and the value may hold spaces.
    std::istringstream in(words);
    std::string        word, name, value;
    std::string*       into = nullptr;
    while (in >> word) {
        if (word == "name" && !into) {
            into = &name;
        } else if (word == "value" && into == &name) {
            into = &value;
        } else if (into) {
            *into += (into->empty() ? "" : " ") + word;
        }
    }
    for (const UciOption& option : options) {
        if (lowerCase(option.name) != lowerCase(name)) continue;
        long long number = 0;
        if (!readValue(option, value, number)) return false;
        option.set(settings, number);
        return true;
    }
    return false;
}

void applyUciSettings(const UciSettings& settings, ThinkLimits& limits) {
    limits.useBook  = settings.ownBook;
    limits.lines    = settings.multiPv;
    playingStrength = settings.limitStrength ? levelForElo(settings.elo) : levelForSkill(settings.skill);
}
