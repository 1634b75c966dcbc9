#include "cli/searchlimits.h"

#include "cli/common.h"

namespace {

// How long past its own limit a search may run before it is stopped: a movetime search past
// its time, a depth or nodes search in all.
constexpr long long MovetimeSlackMs  = 30000;
constexpr long long OpenSearchWaitMs = 10 * 60 * 1000;

} // namespace

bool readSearchLimits(const ParsedArguments& parsed, SearchBudget fallback, UciGo& limits,
                      long long& waitMs, std::string& error) {
    int given = 0;
    for (const char* name : {"--depth", "--nodes", "--movetime"})
        given += parsed.has(name);
    if (given > 1) {
        error = "give one of --depth, --nodes and --movetime";
        return false;
    }
    long long value = 0;
    waitMs          = OpenSearchWaitMs;
    if (parsed.has("--depth")) {
        if (!readNumber(parsed.value("--depth"), 1, 1000, value)) {
            error = "--depth needs a number of plies from 1 to 1000";
            return false;
        }
        limits.depth = value;
        return true;
    }
    const bool nodes = parsed.has("--nodes") ||
                       (!parsed.has("--movetime") && fallback.kind == SearchBudget::Nodes);
    value = fallback.value;
    if (nodes) {
        if (parsed.has("--nodes") &&
            !readNumber(parsed.value("--nodes"), 1, 1000000000000000LL, value)) {
            error = "--nodes needs a number of nodes from 1 to 10^15";
            return false;
        }
        limits.nodes = value;
        return true;
    }
    if (parsed.has("--movetime") && !readNumber(parsed.value("--movetime"), 1, 1000000000, value)) {
        error = "--movetime needs a number of milliseconds from 1 to 1000000000";
        return false;
    }
    limits.movetime = value;
    waitMs          = value + MovetimeSlackMs;
    return true;
}
