#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

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

// Input that gives no position is refused, and the book already there stays as it was.
TEST(CliBook, InputWithoutPositionsKeepsTheOldBook) {
    const std::string out     = scratchPath("kept.dat");
    const std::string garbage = scratchPath("garbage.pgn");
    const std::string empty   = scratchPath("empty.pgn");
    writeFile(out, "the old book");
    writeFile(garbage, "no game here, only words\n");
    writeFile(empty, "");
    for (const std::string& input : {garbage, empty}) {
        SCOPED_TRACE(input);
        expectRefused("book build " + out + " " + input);
        EXPECT_EQ(readFile(out), "the old book");
    }
    for (const std::string& path : {out, garbage, empty}) std::remove(path.c_str());
}

// The book is written under a fresh name beside OUT: a symlink called OUT.tmp (the name a
// fixed-name writer would use) is never written through, and nothing is left beside the book.
TEST(CliBook, WritesThroughAFreshFileBesideTheBook) {
    const std::string folder = scratchPath("book-folder");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    const std::string out = folder + "/book.dat", victim = folder + "/victim.txt";
    writeFile(victim, "not a book");
    ASSERT_EQ(symlink(victim.c_str(), (out + ".tmp").c_str()), 0);
    const CliRun run = runCli("book build " + out + " " NORVANE_TEST_DATA "/kasparov-deep-blue-1997.pgn");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(fileSize(out), 1'048'816);
    EXPECT_EQ(readFile(victim), "not a book");

    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.') names.push_back(entry->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"book.dat", "book.dat.tmp", "victim.txt"}));
    for (const std::string& name : names) std::remove((folder + "/" + name).c_str());
    rmdir(folder.c_str());
}
