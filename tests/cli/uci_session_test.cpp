// A UCI session held line by line, as a chess program holds it: the engine must read stop,
// isready and quit while it searches. The waits are bounded only to catch a hang.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "cli_run.h"

namespace {

// Long enough for any machine, however loaded; the engine answers within milliseconds.
constexpr int HangMs = 60000;

class UciEngine {
public:
    UciEngine() {
        int toEngine[2], fromEngine[2];
        if (pipe(toEngine) != 0 || pipe(fromEngine) != 0) return;
        m_pid = fork();
        if (m_pid == 0) {
            dup2(toEngine[0], 0);
            dup2(fromEngine[1], 1);
            for (int fd : {toEngine[0], toEngine[1], fromEngine[0], fromEngine[1]}) close(fd);
            execl(NORVANE_CLI, NORVANE_CLI, "uci", nullptr);
            _exit(127);
        }
        close(toEngine[0]);
        close(fromEngine[1]);
        m_in  = toEngine[1];
        m_out = fromEngine[0];
        signal(SIGPIPE, SIG_IGN);
    }
    ~UciEngine() {
        if (m_pid > 0 && !m_exited) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        close(m_in);
        close(m_out);
    }

    void send(const std::string& line) {
        const std::string text = line + "\n";
        ASSERT_EQ(write(m_in, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }

    // The next line the engine writes; "(hang)" when none comes in time, "(end)" at its end.
    std::string next() {
        for (;;) {
            const std::size_t newline = m_pending.find('\n');
            if (newline != std::string::npos) {
                const std::string line = m_pending.substr(0, newline);
                m_pending.erase(0, newline + 1);
                return line;
            }
            pollfd ready{m_out, POLLIN, 0};
            if (poll(&ready, 1, HangMs) <= 0) return "(hang)";
            char          buffer[4096];
            const ssize_t n = read(m_out, buffer, sizeof buffer);
            if (n <= 0) return "(end)";
            m_pending.append(buffer, static_cast<std::size_t>(n));
        }
    }

    // The next line that is not an info line.
    std::string nextAnswer() {
        for (;;) {
            const std::string line = next();
            if (line.rfind("info ", 0) != 0) return line;
        }
    }

    // The process's exit status once it ends by itself; -1 when it hangs.
    int exitStatus() {
        for (int waited = 0; waited < HangMs; waited += 10) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_exited = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            usleep(10000);
        }
        return -1;
    }

private:
    pid_t       m_pid = -1;
    int         m_in = -1, m_out = -1;
    bool        m_exited = false;
    std::string m_pending;
};

}  // namespace

TEST(CliUciSession, StopEndsALongSearchAndQuitEndsTheProcess) {
    UciEngine engine;
    engine.send("uci");
    std::string line;
    while ((line = engine.next()) != "uciok") ASSERT_NE(line.rfind('(', 0), 0u) << line;

    // A search of a day (out of the book): isready is answered at once, stop brings its
    // bestmove.
    engine.send("setoption name OwnBook value false");
    engine.send("position startpos moves e2e4");
    engine.send("go movetime 86400000");
    engine.send("isready");
    EXPECT_EQ(engine.nextAnswer(), "readyok");
    engine.send("stop");
    line = engine.nextAnswer();
    ASSERT_EQ(line.rfind("bestmove ", 0), 0u) << line;
    EXPECT_EQ(runCli("position e2e4 " + line.substr(9, line.find(' ', 9) - 9)).status, 0) << line;

    // An infinite search that has found its mate at once still waits for stop.
    engine.send("position fen 6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1");
    engine.send("go infinite");
    while ((line = engine.next()).rfind("info depth 1 seldepth 1 multipv 1 score mate 1 ", 0) != 0)
        ASSERT_NE(line.rfind('(', 0), 0u) << line;
    engine.send("isready");
    EXPECT_EQ(engine.nextAnswer(), "readyok");
    engine.send("stop");
    EXPECT_EQ(engine.nextAnswer(), "bestmove d1d8");

    // quit during another long search ends the process.
    engine.send("position startpos");
    engine.send("go infinite");
    engine.send("quit");
    EXPECT_EQ(engine.exitStatus(), 0);
}
