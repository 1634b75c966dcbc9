// Running norvane-cli as a script would run it.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

// Runs norvane-cli with args (shell words); collects both outputs and the exit status.
struct CliRun {
    int         status;
    std::string out;  // standard output only
    std::string err;
};

inline CliRun runCli(const std::string& args) {
    // One file per test process: ctest runs tests side by side.
    const std::string errFile =
        ::testing::TempDir() + "norvane-cli-stderr-" + std::to_string(getpid()) + ".txt";
    const std::string command = std::string(NORVANE_CLI) + " " + args + " 2>" + errFile;
    CliRun            run{};
    FILE*             pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status       = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (FILE* err = fopen(errFile.c_str(), "r")) {
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, err)) > 0;) run.err.append(buffer, n);
        fclose(err);
    }
    return run;
}

inline std::string lastLine(const std::string& text) {
    const std::size_t end   = text.find_last_not_of('\n');
    const std::size_t start = text.rfind('\n', end);
    return text.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1) + 1);
}
