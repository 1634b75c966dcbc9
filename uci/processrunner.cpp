// uci/processrunner: the child process on pipes, with POSIX calls only.
#include "uci/processrunner.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

namespace {

// How long a write waits for room in a pipe the child does not read.
constexpr int WriteTimeoutMs = 2000;

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// Writes all of text to fd (non-blocking), waiting for room up to WriteTimeoutMs in all.
// SIGPIPE is blocked around the write and a SIGPIPE the write raised is taken back, so that a
// child that has gone makes the write fail instead of ending this process.
bool writeAll(int fd, const std::string& text) {
    sigset_t pipeSignal, oldMask, pending;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigpending(&pending);
    const bool wasPending = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &oldMask);

    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(WriteTimeoutMs);
    std::size_t written = 0;
    bool        ok      = true;
    bool        broken  = false;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  deadline - std::chrono::steady_clock::now())
                                  .count();
            pollfd room{fd, POLLOUT, 0};
            if (left > 0 && ::poll(&room, 1, static_cast<int>(left)) >= 0) continue;
        }
        broken = n < 0 && errno == EPIPE;
        ok     = false;
        break;
    }
    if (broken && !wasPending) {
        const timespec now{0, 0};
        while (sigtimedwait(&pipeSignal, nullptr, &now) < 0 && errno == EINTR) {
        }
    }
    pthread_sigmask(SIG_SETMASK, &oldMask, nullptr);
    return ok;
}

} // namespace

ProcessRunner::~ProcessRunner() { stop(); }

bool ProcessRunner::start(const std::string& program, const std::vector<std::string>& args,
                          std::string& error) {
    if (running()) stop();
    m_exit = ProcessExit{};
    m_pending.clear();
    m_skipping = false;
    int toChild[2], fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (::pipe2(fromChild, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        ::close(toChild[0]);
        ::close(toChild[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A group of its own (so stop reaches what it starts), no blocked signals, and SIGPIPE
    // as the default even when this process ignores it.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                              POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t none, defaults;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t     pid = -1;
    const int result =
        posix_spawnp(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(toChild[0]);
    ::close(fromChild[1]);
    if (result != 0) {
        error = std::strerror(result);
        ::close(toChild[1]);
        ::close(fromChild[0]);
        return false;
    }
    m_pid    = pid;
    m_input  = toChild[1];
    m_output = fromChild[0];
    ::fcntl(m_input, F_SETFL, ::fcntl(m_input, F_GETFL) | O_NONBLOCK);
    return true;
}

bool ProcessRunner::writeLine(const std::string& line) {
    if (m_input < 0) return false;
    return writeAll(m_input, line + "\n");
}

ProcessRunner::Read ProcessRunner::readLine(std::string& line, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool       polled   = false;
    for (;;) {
        const std::size_t end = m_pending.find('\n');
        if (end != std::string::npos) {
            if (m_skipping) {
                // The end of a line already reported too long.
                m_pending.erase(0, end + 1);
                m_skipping = false;
                continue;
            }
            if (end > MaxLine) {
                m_pending.erase(0, end + 1);
                line.clear();
                return Read::TooLong;
            }
            line.assign(m_pending, 0, end);
            m_pending.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return Read::Line;
        }
        if (m_skipping) {
            m_pending.clear();
        } else if (m_pending.size() > MaxLine) {
            // A line far too long: told at once, however long it goes on, and then dropped
            // as it comes, never held whole.
            m_skipping = true;
            m_pending.clear();
            line.clear();
            return Read::TooLong;
        }
        if (m_output < 0) {
            // The output has ended: a last line without its end is still a line.
            m_skipping = false;
            if (m_pending.empty()) return Read::Closed;
            line.swap(m_pending);
            m_pending.clear();
            return Read::Line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        // A child that writes without pause still lets the read end at its time.
        if (left <= 0 && polled) return Read::Timeout;
        polled = true;
        pollfd    ready{m_output, POLLIN, 0};
        const int count = ::poll(&ready, 1, static_cast<int>(std::max<long long>(left, 0)));
        if (count < 0) {
            if (errno == EINTR) continue;
            return Read::Failed;
        }
        if (count == 0) return Read::Timeout;
        char          buffer[65536];
        const ssize_t n = ::read(m_output, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            return Read::Failed;
        }
        if (n == 0)
            closeFd(m_output);
        else
            m_pending.append(buffer, static_cast<std::size_t>(n));
    }
}

void ProcessRunner::closeInput() { closeFd(m_input); }

bool ProcessRunner::reap(bool wait) {
    if (m_pid <= 0) return true;
    int   status = 0;
    pid_t done;
    while ((done = ::waitpid(m_pid, &status, wait ? 0 : WNOHANG)) < 0 && errno == EINTR) {
    }
    if (done == 0) return false;
    if (done == m_pid) {
        m_exit.exited   = WIFEXITED(status);
        m_exit.code     = m_exit.exited ? WEXITSTATUS(status) : 0;
        m_exit.signaled = WIFSIGNALED(status);
        m_exit.signal   = m_exit.signaled ? WTERMSIG(status) : 0;
    }
    m_pid = -1;
    return true;
}

void ProcessRunner::stop(int graceMs) {
    closeInput();
    if (m_pid > 0) {
        // Waits for the child to end without reaping it, so that its number, and so its group's,
        // cannot go to another process before the group is killed.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(graceMs);
        bool       reapedElsewhere = false;
        for (;;) {
            siginfo_t info{};
            const int waited =
                ::waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOHANG | WNOWAIT);
            if (waited == 0 && info.si_pid == m_pid) break;
            if (waited < 0 && errno != EINTR) {
                // No such child (SIGCHLD ignored reaps at once): its number may be another's now.
                reapedElsewhere = errno == ECHILD;
                break;
            }
            if (std::chrono::steady_clock::now() >= deadline) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        if (!reapedElsewhere) {
            // What the child started in its group goes with it.
            ::kill(-m_pid, SIGKILL);
            ::kill(m_pid, SIGKILL);
        }
        reap(true);
    }
    closeFd(m_output);
    m_pending.clear();
    m_skipping = false;
}

std::int64_t steadyMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string describeExit(const ProcessExit& exit, bool reaped) {
    if (!reaped) return "output closed";
    if (exit.signaled) return "signal " + std::to_string(exit.signal);
    return "exit status " + std::to_string(exit.code);
}

bool pumpUntil(ProcessRunner& runner, UciClient& client,
               const std::function<bool(const UciClient&)>& done, int waitMs) {
    const std::int64_t deadline = steadyMilliseconds() + waitMs;
    for (;;) {
        if (done(client)) return true;
        const UciClient::State state = client.state();
        if (state == UciClient::State::Failed && client.error().kind == UciErrorKind::SendFailed) {
            // The child cannot be written to: most often it has ended; the client learns how.
            runner.stop(100);
            client.engineExited(describeExit(runner.exit(), true));
        }
        if (state == UciClient::State::Failed || state == UciClient::State::Closed) return false;
        const std::int64_t now = steadyMilliseconds();
        if (now >= deadline) return false;
        // Short reads, so that the client's own deadlines are looked at in time.
        std::string line;
        switch (
            runner.readLine(line, static_cast<int>(std::min<std::int64_t>(deadline - now, 50)))) {
        case ProcessRunner::Read::Line:
            client.lineReceived(line, steadyMilliseconds());
            break;
        case ProcessRunner::Read::Timeout:
            client.tick(steadyMilliseconds());
            break;
        case ProcessRunner::Read::TooLong:
            client.unreadableLine("line longer than " + std::to_string(ProcessRunner::MaxLine) +
                                  " bytes");
            break;
        case ProcessRunner::Read::Closed:
        case ProcessRunner::Read::Failed:
            runner.stop(100);
            client.engineExited(describeExit(runner.exit(), true));
            break;
        }
    }
}
