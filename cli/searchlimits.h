// The budget of one engine search on the command line: --depth D, --nodes N or --movetime MS,
// one of them at most, and how long to wait for the search before stopping it. analyse and
// annotate read it alike; each has its own budget when none is given.
#pragma once

#include <string>

#include "cli/options.h"
#include "uci/ucimessages.h"

struct SearchBudget {
    enum Kind { Nodes, Movetime };
    Kind      kind  = Movetime;
    long long value = 0;
};

// Fills limits from the options, or from fallback when none is given; waitMs is how long a
// search under them may take before it is stopped (a movetime search 30 s past its time, a
// depth or nodes search 10 minutes in all). False with error for two limits or a bad number.
bool readSearchLimits(const ParsedArguments& parsed, SearchBudget fallback, UciGo& limits,
                      long long& waitMs, std::string& error);
