#include "cli/threadsoption.h"

#include <vector>

#include "records/passthreads.h"

namespace {

constexpr KnownOption ThreadsOption = {"--threads", true};

} // namespace

bool parseFileArguments(const Arguments& args, std::initializer_list<KnownOption> known,
                        ParsedArguments& parsed, std::string& error) {
    std::vector<KnownOption> all(known);
    all.push_back(ThreadsOption);
    if (!parseArguments(args, all, parsed, error)) return false;
    if (!parsed.has(ThreadsOption.name)) return true;
    long long threads = 0;
    if (!readNumber(parsed.value(ThreadsOption.name), 1, MaxPassThreads, threads)) {
        error = "--threads takes a number from 1 to " + std::to_string(MaxPassThreads);
        return false;
    }
    setPassThreads(static_cast<int>(threads));
    return true;
}
