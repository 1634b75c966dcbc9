// The command line's process runner and the session over it: the built-in engine for real, and
// small shell-script engines for the ways an engine goes wrong. Timeouts are made short here;
// the waits given to pumpUntil are upper bounds that a working engine never reaches.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "uci/processrunner.h"

namespace {

// A folder for this test program's scripts, removed when the program ends.
struct ScriptFolder {
    ScriptFolder() {
        std::string pattern = ::testing::TempDir() + "norvane-uci-XXXXXX";
        if (mkdtemp(pattern.data())) path = pattern;
    }
    ~ScriptFolder() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

// A script in the scripts' folder, made executable.
std::string writeScript(const std::string& name, const std::string& body) {
    static ScriptFolder folder;
    const std::string   path = folder.path + "/" + name;
    std::ofstream(path) << "#!/bin/sh\n" << body;
    chmod(path.c_str(), 0755);
    return path;
}

// True once the process with this number is reaped: it is no child of this one any more.
bool reaped(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) < 0 && errno == ECHILD;
}

bool handshaken(const UciClient& client) { return client.state() == UciClient::State::Idle; }
bool searched(const UciClient& client) { return client.bestMove().has_value(); }

// An engine that answers uci and isready, and on go does what onGo says.
std::string scriptedEngine(const std::string& onGo) {
    return "while read cmd; do case \"$cmd\" in\n"
           "uci) echo 'id name Scripted'; echo uciok;;\n"
           "isready) echo readyok;;\n"
           "go*) " +
           onGo +
           ";;\n"
           "quit) exit 0;;\n"
           "esac; done\n";
}

} // namespace

TEST(ProcessRunner, BuiltInEngineSearchesAndQuits) {
    ProcessRunner runner;
    std::string   error;
    ASSERT_TRUE(runner.start(NORVANE_CLI, {"uci"}, error)) << error;
    const pid_t      pid = runner.pid();
    ProcessTransport transport(runner);
    UciClient        client(transport);
    client.start(steadyMilliseconds());
    ASSERT_TRUE(pumpUntil(runner, client, handshaken, 20000)) << client.error().text;
    EXPECT_FALSE(client.engineName().empty());
    EXPECT_FALSE(client.options().empty());
    // Without the book, so that the move comes from a search with its info lines.
    ASSERT_TRUE(client.setOption("OwnBook", std::string("false")));
    ASSERT_TRUE(client.isReady(steadyMilliseconds()));
    ASSERT_TRUE(pumpUntil(
        runner, client, [](const UciClient& c) { return !c.readyPending(); }, 20000));
    UciGo limits;
    limits.depth = 3;
    ASSERT_TRUE(client.go("", {"e2e4", "e7e5"}, limits));
    ASSERT_TRUE(pumpUntil(runner, client, searched, 60000)) << client.error().text;
    EXPECT_TRUE(isUciMove(client.bestMove()->move));
    ASSERT_FALSE(client.lines().empty());
    EXPECT_EQ(client.lines().begin()->second.depth, 3);
    client.quit();
    runner.stop(10000);
    EXPECT_TRUE(runner.exit().exited);
    EXPECT_EQ(runner.exit().code, 0);
    EXPECT_TRUE(reaped(pid));
}

// Starts program under a client with short timeouts and takes it through the handshake.
struct ScriptSession {
    explicit ScriptSession(const std::string& program)
        : transport(runner), client(transport, UciTimeouts{200, 200, 200}) {
        std::string error;
        started = runner.start(program, {}, error);
        pid     = runner.pid();
        client.start(steadyMilliseconds());
        handshaken = started && pumpUntil(runner, client, ::handshaken, 20000);
    }
    ProcessRunner    runner;
    ProcessTransport transport;
    UciClient        client;
    bool             started = false, handshaken = false;
    pid_t            pid = -1;
};

TEST(ProcessRunner, EnginesThatFailTheHandshake) {
    struct Case {
        const char*  name;
        std::string  script;
        UciErrorKind error;
        std::string  detail;
    };
    const std::vector<Case> cases = {
        {"exits at once", "exit 3\n", UciErrorKind::Exited, "exit status 3"},
        {"never answers", "exec sleep 600\n", UciErrorKind::HandshakeTimeout, "uci"},
        {"prints garbage", "printf 'id name X\\n\\001\\002\\377\\376\\n'; exec sleep 600\n",
         UciErrorKind::Garbage, "\x01\x02\xff\xfe"},
        {"a line of more than a megabyte",
         "head -c 1100000 /dev/zero | tr '\\000' x; echo; echo uciok; exec sleep 600\n",
         UciErrorKind::Garbage, "line longer than 1048576 bytes"},
    };
    int number = 0;
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ScriptSession session(writeScript("failing" + std::to_string(++number), test.script));
        ASSERT_TRUE(session.started);
        EXPECT_FALSE(session.handshaken);
        EXPECT_EQ(session.client.state(), UciClient::State::Failed);
        EXPECT_EQ(session.client.error().kind, test.error);
        EXPECT_EQ(session.client.error().text, test.detail);
        session.runner.stop(0);
        EXPECT_TRUE(reaped(session.pid));
    }
}

TEST(ProcessRunner, EngineThatDiesMidSearch) {
    ScriptSession session(writeScript(
        "dying", scriptedEngine("echo 'info depth 1 score cp 5 pv e2e4'; kill -KILL $$")));
    ASSERT_TRUE(session.handshaken) << session.client.error().text;
    ASSERT_TRUE(session.client.go("", {}, UciGo{}));
    EXPECT_FALSE(pumpUntil(session.runner, session.client, searched, 20000));
    EXPECT_EQ(session.client.error().kind, UciErrorKind::Exited);
    EXPECT_EQ(session.client.error().text, "signal 9");
    EXPECT_TRUE(reaped(session.pid));
}

TEST(ProcessRunner, EngineThatIgnoresStop) {
    ScriptSession session(
        writeScript("stubborn", scriptedEngine("echo 'info depth 1 score cp 5 pv e2e4'")));
    ASSERT_TRUE(session.handshaken) << session.client.error().text;
    ASSERT_TRUE(session.client.go("", {}, UciGo{}));
    ASSERT_TRUE(pumpUntil(
        session.runner, session.client, [](const UciClient& c) { return !c.lines().empty(); },
        20000));
    ASSERT_TRUE(session.client.stop(steadyMilliseconds()));
    EXPECT_FALSE(pumpUntil(session.runner, session.client, searched, 20000));
    EXPECT_EQ(session.client.error().kind, UciErrorKind::StopTimeout);
    EXPECT_EQ(session.client.lines().at(1).score->value, 5);
    session.runner.stop(10000);
    EXPECT_TRUE(reaped(session.pid));
}

TEST(ProcessRunner, ReadsLinesAndSkipsOneTooLong) {
    const std::string program = writeScript(
        "lines", "printf 'one\\r\\ntwo\\n'; head -c 1048577 /dev/zero | tr '\\000' y; echo; "
                 "head -c 1048576 /dev/zero | tr '\\000' z; echo; printf 'last'\n");
    ProcessRunner runner;
    std::string   error, line;
    ASSERT_TRUE(runner.start(program, {}, error)) << error;
    std::vector<std::string>         lines;
    std::vector<ProcessRunner::Read> reads;
    for (ProcessRunner::Read read;
         (read = runner.readLine(line, 20000)) != ProcessRunner::Read::Closed;) {
        ASSERT_NE(read, ProcessRunner::Read::Timeout);
        reads.push_back(read);
        lines.push_back(read == ProcessRunner::Read::Line
                            ? line.substr(0, 4) + std::to_string(line.size())
                            : "");
    }
    using R = ProcessRunner::Read;
    EXPECT_EQ(reads, (std::vector<R>{R::Line, R::Line, R::TooLong, R::Line, R::Line}));
    EXPECT_EQ(lines, (std::vector<std::string>{"one3", "two3", "", "zzzz1048576", "last4"}));
    runner.stop();
    EXPECT_TRUE(runner.exit().exited);
}

// A line that never ends is told too long as soon as it passes the limit, and a child that
// writes it without pause still lets each read end at its time.
TEST(ProcessRunner, AnEndlessLineIsToldAtOnce) {
    ProcessRunner runner;
    std::string   error, line;
    ASSERT_TRUE(runner.start(writeScript("endless", "tr '\\000' x < /dev/zero\n"), {}, error))
        << error;
    EXPECT_EQ(runner.readLine(line, 60000), ProcessRunner::Read::TooLong);
    EXPECT_EQ(runner.readLine(line, 50), ProcessRunner::Read::Timeout);
    runner.stop();
    EXPECT_TRUE(runner.exit().signaled);
}

TEST(ProcessRunner, WritingToAnEndedChildFailsQuietly) {
    ProcessRunner runner;
    std::string   error, line;
    ASSERT_TRUE(runner.start(writeScript("gone", "exit 0\n"), {}, error)) << error;
    EXPECT_EQ(runner.readLine(line, 20000), ProcessRunner::Read::Closed);
    // The child has gone: the write fails, and no SIGPIPE ends this test.
    EXPECT_FALSE(runner.writeLine(std::string(100000, 'x')));
    EXPECT_FALSE(runner.writeLine("isready"));
    runner.stop();
    EXPECT_FALSE(runner.running());
}

TEST(ProcessRunner, AProgramThatCannotStart) {
    ProcessRunner runner;
    std::string   error;
    EXPECT_FALSE(runner.start("/nonexistent/norvane-engine", {}, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(runner.running());
    EXPECT_FALSE(runner.writeLine("uci"));
}

TEST(ProcessRunner, StopEndsAChildThatIgnoresItsInput) {
    ProcessRunner runner;
    std::string   error, line;
    ASSERT_TRUE(runner.start(writeScript("deaf", "trap '' TERM INT; echo up; exec sleep 600\n"), {},
                             error));
    ASSERT_EQ(runner.readLine(line, 20000), ProcessRunner::Read::Line);
    EXPECT_EQ(runner.readLine(line, 10), ProcessRunner::Read::Timeout);
    const pid_t pid = runner.pid();
    runner.stop(0);
    EXPECT_TRUE(runner.exit().signaled);
    EXPECT_EQ(runner.exit().signal, SIGKILL);
    EXPECT_TRUE(reaped(pid));
}

namespace {

// True once process pid has ended (gone, or a zombie waiting for its parent), looked at until
// it has or a generous bound passes.
bool endsSoon(pid_t pid) {
    for (int look = 0; look < 2000; ++look) {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string   text;
        if (!std::getline(stat, text)) return true;
        const std::size_t close = text.rfind(')');
        if (close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'Z')
            return true;
        usleep(5000);
    }
    return false;
}

} // namespace

TEST(ProcessRunner, StopEndsWhatTheChildStarted) {
    ProcessRunner runner;
    std::string   error, line;
    ASSERT_TRUE(runner.start(writeScript("parent", "sleep 600 & echo $!; wait\n"), {}, error))
        << error;
    ASSERT_EQ(runner.readLine(line, 20000), ProcessRunner::Read::Line);
    const pid_t grandchild = static_cast<pid_t>(std::stol(line));
    runner.stop(0);
    EXPECT_TRUE(endsSoon(grandchild));
}
