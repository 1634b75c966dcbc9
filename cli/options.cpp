#include "cli/options.h"

bool ParsedArguments::has(const std::string& name) const {
    for (const auto& [option, value] : options)
        if (option == name) return true;
    return false;
}

std::string ParsedArguments::value(const std::string& name) const {
    std::string found;
    for (const auto& [option, value] : options)
        if (option == name) found = value;
    return found;
}

bool parseArguments(const Arguments& args, std::span<const KnownOption> known,
                    ParsedArguments& parsed, std::string& error) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            parsed.operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const KnownOption* option = nullptr;
        for (const KnownOption& k : known)
            if (arg == k.name) option = &k;
        if (!option) {
            error = "unknown option: " + arg;
            return false;
        }
        std::string value;
        if (option->takesValue) {
            if (i + 1 == args.size() || (args[i + 1].empty() && !option->mayBeEmpty)) {
                error = arg + " needs a value";
                return false;
            }
            value = args[++i];
        }
        parsed.options.emplace_back(arg, value);
    }
    return true;
}
