// The command-line companion, run as a script would run it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

struct CliRun {
    int         status;
    std::string out;  // standard output only
    std::string err;
};

CliRun runCli(const std::string& args) {
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

std::string lastLine(const std::string& text) {
    const std::size_t end   = text.find_last_not_of('\n');
    const std::size_t start = text.rfind('\n', end);
    return text.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1) + 1);
}

}  // namespace

TEST(Cli, PerftCountsAndDivides) {
    CliRun run = runCli("perft 3");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(lastLine(run.out), "nodes 8902");
    EXPECT_NE(run.out.find("\nnps "), std::string::npos - 1);

    run = runCli("perft 2 --divide --fen '8/8/8/1k6/3Pp3/8/8/4KQ2 b - d3'");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("e4d3: "), std::string::npos);
    EXPECT_EQ(lastLine(run.out), "nodes 121");
}

TEST(Cli, PositionPrintsFenAndKey) {
    const CliRun run = runCli("position b2b3");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("fen: rnbqkbnr/pppppppp/8/8/8/1P6/P1PPPPPP/RNBQKBNR b KQkq - 0 1\n"),
              std::string::npos);
    EXPECT_NE(run.out.find("key: 0x38C177725DE22522\n"), std::string::npos);
    EXPECT_EQ(lastLine(run.out), "key 0x38C177725DE22522");
}

TEST(Cli, ErrorsGoToStandardErrorWithStatus2) {
    const char* cases[] = {"frobnicate", "", "perft", "perft 0", "perft x", "perft 2 --fen 'bad fen'",
                           "position e2e5", "position --fen", "position --fen '8/8/8/8/8/8/8/8 w - -'"};
    for (const char* args : cases) {
        SCOPED_TRACE(args);
        const CliRun run = runCli(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.empty()) << run.out;
        EXPECT_FALSE(run.err.empty());
    }
}
