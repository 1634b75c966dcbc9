#include <sys/stat.h>

#include "cli_run.h"

namespace {

long long fileSize(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

}  // namespace

TEST(CliBook, BuildsABookFromGames) {
    const std::string out = ::testing::TempDir() + "cli-book-" + std::to_string(getpid()) + ".dat";
    const CliRun      run = runCli("book build " + out + " " NORVANE_TEST_DATA "/kasparov-deep-blue-1997.pgn --plies 6");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(valueOf(run.out, "games"), "6");
    EXPECT_EQ(valueOf(run.out, "skipped"), "0");
    EXPECT_GT(std::stoi(lastLine(run.out).substr(std::string("positions ").size())), 6);
    EXPECT_EQ(fileSize(out), 1'048'816);
    std::remove(out.c_str());
}

TEST(CliBook, RefusesBadInputAndWritesNothing) {
    const std::string out   = ::testing::TempDir() + "cli-book-bad-" + std::to_string(getpid()) + ".dat";
    const char*       cases[] = {"", "build", "build OUT", "compile x.dat y.pgn", "build OUT y.pgn --plies 0",
                                 "build OUT " NORVANE_TEST_DATA "/missing.pgn",
                                 "build OUT " NORVANE_TEST_DATA "/anastasian-lewis.pgn"};
    for (std::string args : cases) {
        if (args.find("OUT") != std::string::npos) args.replace(args.find("OUT"), 3, out);
        expectRefused("book " + args);
        EXPECT_EQ(fileSize(out), -1) << args;
    }
}
