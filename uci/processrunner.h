// uci/processrunner: a program run as a child process with its standard input and output on
// pipes, read line by line with a timeout. For the command line's engines (the desktop has its
// own process class). The child runs in a process group of its own, and stop kills that group
// and reaps the child, so that no process is left behind.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "uci/uciclient.h"

// How a child ended.
struct ProcessExit {
    bool exited   = false; // by exit, with code
    int  code     = 0;
    bool signaled = false; // by a signal
    int  signal   = 0;
};

class ProcessRunner {
public:
    // The longest line read, in bytes without its end: a longer one is told and skipped whole.
    static constexpr std::size_t MaxLine = std::size_t{1} << 20;

    enum class Read { Line, Timeout, TooLong, Closed, Failed };

    ProcessRunner() = default;
    ~ProcessRunner();
    ProcessRunner(const ProcessRunner&)            = delete;
    ProcessRunner& operator=(const ProcessRunner&) = delete;

    // Starts program (looked up in PATH when it has no slash) with args; its standard error
    // goes nowhere. On failure, error holds the system's reason (strerror's text).
    bool start(const std::string& program, const std::vector<std::string>& args,
               std::string& error);
    // Writes line and a line end. False when the child cannot be written to (it has closed its
    // input or ended): never a SIGPIPE.
    bool writeLine(const std::string& line);
    // Reads the next line (without its end) within timeoutMs, even from a child that writes
    // without pause. TooLong comes as soon as a line is longer than MaxLine, whether or not it
    // has ended; the rest of that line is then skipped. Closed comes once the child's output
    // has ended and all its lines are read.
    Read readLine(std::string& line, int timeoutMs);
    // Closes the child's input, waits up to graceMs for it to end, then kills its process
    // group; returns once the child is reaped. Does nothing when no child runs.
    void stop(int graceMs = 500);

    bool  running() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }
    // How the child ended, once stop has reaped it.
    const ProcessExit& exit() const { return m_exit; }

private:
    void closeInput();
    bool reap(bool wait);

    pid_t       m_pid    = -1;
    int         m_input  = -1;      // the child's standard input, written here
    int         m_output = -1;      // the child's standard output, read here
    std::string m_pending;          // bytes read past the last line handed out
    bool        m_skipping = false; // inside a line longer than MaxLine
    ProcessExit m_exit;
};

// The client's line transport over a runner.
class ProcessTransport : public UciTransport {
public:
    explicit ProcessTransport(ProcessRunner& runner) : m_runner(runner) {}
    bool sendLine(const std::string& line) override { return m_runner.writeLine(line); }

private:
    ProcessRunner& m_runner;
};

// Milliseconds on a steady clock, for the client's deadlines.
std::int64_t steadyMilliseconds();

// Feeds the runner's lines to client until done(client) holds, the client fails, or waitMs
// have passed with the client still waiting (the client's own timeouts come first); a line too
// long, the end of the child's output or a write that failed fail the client, with the
// child then stopped and the client told how it ended. True when done holds.
bool pumpUntil(ProcessRunner& runner, UciClient& client,
               const std::function<bool(const UciClient&)>& done, int waitMs);

// How a child ended, as the client's exit detail: "exit status N", "signal N", or "output closed".
std::string describeExit(const ProcessExit& exit, bool reaped);
