// The subcommands of norvane-cli. Each answers the process exit status.
#pragma once

#include <span>
#include <string>

#include "cli/common.h"

int runPerft(const Arguments& args);
int runPosition(const Arguments& args);
int runIndex(const Arguments& args);
int runSearch(const Arguments& args);
int runInfo(const Arguments& args);
int runPlayer(const Arguments& args);
int runGame(const Arguments& args);
int runBook(const Arguments& args);
int runTree(const Arguments& args);
int runThink(const Arguments& args);
int runBench(const Arguments& args);
int runUci(const Arguments& args);
int runAnalyse(const Arguments& args);
int runAnnotate(const Arguments& args);

struct Subcommand {
    const char* name;
    int (*run)(const Arguments&);
    const char* usage;    // the arguments, after the name
    const char* summary;  // what it does and its last line, for help
    const char* details = "";  // more, for "help NAME" only
};

// Every subcommand, in the order help lists them.
std::span<const Subcommand> allSubcommands();
// The subcommand called name, or null.
const Subcommand* findSubcommand(const std::string& name);

// A subcommand called the wrong way: prints "norvane-cli: NAME: message" and the
// subcommand's usage on standard error, and answers the error status 2.
int usageError(const std::string& name, const std::string& message);
