// Running norvane-cli as a script would, for the command-line tests.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

struct CliRun {
    int         status;
    std::string out;  // standard output only
    std::string err;
};

// shell, when given, runs first in the same shell (a ulimit, say).
inline CliRun runCli(const std::string& args, const std::string& shell = "") {
    // One file per test process: ctest runs the tests of this program side by side.
    const std::string errFile =
        ::testing::TempDir() + "norvane-cli-stderr-" + std::to_string(getpid()) + ".txt";
    const std::string command = shell + std::string(NORVANE_CLI) + " " + args + " 2>" + errFile;
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
    std::remove(errFile.c_str());
    return run;
}

// The last line of a command's output, without its line end.
inline std::string lastLine(const std::string& text) {
    const std::size_t end   = text.find_last_not_of('\n');
    if (end == std::string::npos) return "";
    const std::size_t start = text.rfind('\n', end);
    const std::size_t from  = start == std::string::npos ? 0 : start + 1;
    return text.substr(from, end - from + 1);
}

// The value of the first "key value" line of a command's output, or "".
inline std::string valueOf(const std::string& text, const std::string& key) {
    const std::string prefix = key + " ";
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t next = text.find('\n', at);
        const std::string line = text.substr(at, next == std::string::npos ? std::string::npos : next - at);
        if (line.rfind(prefix, 0) == 0) return line.substr(prefix.size());
        if (next == std::string::npos) break;
        at = next + 1;
    }
    return "";
}

// The lines of a command's output.
inline std::vector<std::string> outputLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream       in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// A refused command: status 2, a message on standard error and nothing on standard output.
inline void expectRefused(const std::string& args) {
    SCOPED_TRACE(args);
    const CliRun run = runCli(args);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.empty()) << run.out.substr(0, 200);
    EXPECT_FALSE(run.err.empty());
}

// A scratch file path for this test process.
inline std::string scratchPath(const std::string& name) {
    return ::testing::TempDir() + "norvane-cli-" + std::to_string(getpid()) + "-" + name;
}

// Writes text to path, replacing it.
inline void writeFile(const std::string& path, const std::string& text) {
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
}

// The whole of a file, or "(missing)".
inline std::string readFile(const std::string& path) {
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) return "(missing)";
    std::string text;
    char        buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    fclose(file);
    return text;
}
