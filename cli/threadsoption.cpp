#include "cli/threadsoption.h"

#include "records/passthreads.h"

bool applyThreadsOption(const ParsedArguments& parsed, std::string& error) {
    if (!parsed.has(ThreadsOption.name)) return true;
    long long threads = 0;
    if (!readNumber(parsed.value(ThreadsOption.name), 1, MaxPassThreads, threads)) {
        error = "--threads takes a number from 1 to " + std::to_string(MaxPassThreads);
        return false;
    }
    setPassThreads(static_cast<int>(threads));
    return true;
}
