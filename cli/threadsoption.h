// "--threads N": how many threads the subcommands that read a whole PGN file use for it.
// Those subcommands parse their arguments through here, so the option is known, read and
// applied in this one place.
#pragma once

#include <initializer_list>
#include <string>

#include "cli/options.h"

// parseArguments with known and --threads, which, when given, sets the passes' threads; false,
// with error set, also for a value that is not a number from 1 to MaxPassThreads. Without the
// option the passes use NORVANE_THREADS, else every processor.
bool parseFileArguments(const Arguments& args, std::initializer_list<KnownOption> known,
                        ParsedArguments& parsed, std::string& error);
