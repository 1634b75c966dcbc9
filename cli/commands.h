// The subcommands of norvane-cli. Each answers the process exit status.
#pragma once

#include "cli/common.h"

int runPerft(const Arguments& args);
int runPosition(const Arguments& args);
int runIndex(const Arguments& args);
int runSearch(const Arguments& args);
int runInfo(const Arguments& args);
int runGame(const Arguments& args);
int runBook(const Arguments& args);
int runTree(const Arguments& args);
int runThink(const Arguments& args);
int runBench(const Arguments& args);
int runUci(const Arguments& args);
