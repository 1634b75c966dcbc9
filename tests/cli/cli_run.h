// Running norvane-cli as a script would: standard output, standard error and exit status.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

struct CliResult {
    int         status = -1;
    std::string out;  // standard output only
    std::string err;
};

// Runs "norvane-cli ARGS" through the shell, so ARGS may quote and redirect.
inline CliResult runNorvaneCli(const std::string& args) {
    const std::string errFile =
        ::testing::TempDir() + "norvane-cli-stderr-" + std::to_string(getpid()) + ".txt";
    const std::string command = std::string(NORVANE_CLI) + " " + args + " 2>" + errFile;
    CliResult         run;
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

inline std::vector<std::string> outputLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream       in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}
