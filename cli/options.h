// A subcommand's arguments sorted into options and operands. Options start with "--" and may
// stand before, between or after the operands; a lone "--" makes every later argument an
// operand (a file whose name starts with "--").
#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "cli/common.h"

struct KnownOption {
    const char* name;                // "--fen"
    bool        takesValue;          // false: a switch such as "--divide"
    bool        mayBeEmpty = false;  // an empty value means something ("--position ''")
};

struct ParsedArguments {
    std::vector<std::string>                         operands;
    std::vector<std::pair<std::string, std::string>> options;  // in the order given

    bool has(const std::string& name) const;
    // The value given last for name; empty when it was not given.
    std::string value(const std::string& name) const;
};

// False, with the reason in error, for an option not in known, or one without its value or
// with an empty value where that means nothing (an empty --fen is no position at all).
bool parseArguments(const Arguments& args, std::span<const KnownOption> known,
                    ParsedArguments& parsed, std::string& error);
inline bool parseArguments(const Arguments& args, std::initializer_list<KnownOption> known,
                           ParsedArguments& parsed, std::string& error) {
    return parseArguments(args, std::span(known.begin(), known.size()), parsed, error);
}
