// "--threads N": how many threads the subcommands that read a whole PGN file use for it.
#pragma once

#include <string>

#include "cli/options.h"

inline constexpr KnownOption ThreadsOption = {"--threads", true};

// Sets the passes' threads from --threads when it was given; false, with error set, for a
// value that is not a number from 1 to MaxPassThreads. Without the option the passes use
// NORVANE_THREADS, else every processor.
bool applyThreadsOption(const ParsedArguments& parsed, std::string& error);
