#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

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
    const std::string games = NORVANE_TEST_DATA "/kasparov-deep-blue-1997.pgn";
    ASSERT_EQ(runCli("book build " + out + " " + games).status, 0);
    const std::string oldBook = readFile(out);
    writeFile(garbage, "no game here, only words\n");
    writeFile(empty, "");
    for (const std::string& input : {garbage, empty}) {
        SCOPED_TRACE(input);
        const CliRun run = runCli("book build " + out + " " + input);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("gives no position"), std::string::npos) << run.err;
        EXPECT_EQ(readFile(out), oldBook);
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

// A build replaces OUT whole, so OUT must be a book or nothing: a PGN file named by mistake,
// an input under another name, a symbolic link, a FIFO or a directory is refused before any
// input is read, and left exactly as it was. A book, or an empty file, is replaced.
TEST(CliBook, ReplacesOnlyABookOrNothing) {
    const std::string folder = scratchPath("book-targets");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    const std::string games = NORVANE_TEST_DATA "/kasparov-deep-blue-1997.pgn";
    const std::string book  = folder + "/old.dat", out = folder + "/out";
    ASSERT_EQ(runCli("book build " + book + " " + games + " --plies 2").status, 0);
    const std::string oldBook = readFile(book);
    const auto        copyOf  = [](const std::string& text) {
        return [text](const std::string& at) { writeFile(at, text); };
    };
    struct Case {
        const char*                             what;
        std::function<void(const std::string&)> make;    // makes OUT
        std::string                             inputs;  // beside games
        std::string                             err;     // "" when OUT is replaced
    };
    const Case cases[] = {
        {"nothing there", [](const std::string&) {}, "", ""},
        {"an old book", copyOf(oldBook), "", ""},
        {"an empty file", copyOf(""), "", ""},
        {"a PGN file", copyOf(readFile(games)), "", "is not a book file"},
        {"whole records of text", copyOf(std::string(64, 'a')), "", "is not a book file"},
        {"a cut book", copyOf(oldBook.substr(0, 17)), "", "is not a book file"},
        {"a book at the wrong slot", copyOf(oldBook.substr(16)), "", "is not a book file"},
        {"one of the inputs", copyOf(oldBook), out, "is the input"},
        {"an input by a symbolic link", copyOf(oldBook), folder + "/link", "is the input"},
        {"a symbolic link to a book",
         [&](const std::string& at) { ASSERT_EQ(symlink(book.c_str(), at.c_str()), 0); }, "",
         "is a symbolic link"},
        {"a dangling symbolic link",
         [&](const std::string& at) {
             ASSERT_EQ(symlink((folder + "/none").c_str(), at.c_str()), 0);
         },
         "", "is a symbolic link"},
        {"a FIFO", [](const std::string& at) { ASSERT_EQ(mkfifo(at.c_str(), 0644), 0); }, "",
         "is a FIFO"},
        {"a directory", [](const std::string& at) { ASSERT_EQ(mkdir(at.c_str(), 0755), 0); }, "",
         "is a directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.make(out);
        ASSERT_EQ(symlink(out.c_str(), (folder + "/link").c_str()), 0);
        struct stat before {};
        const bool  existed = lstat(out.c_str(), &before) == 0;
        const std::string content = existed && S_ISREG(before.st_mode) ? readFile(out) : "";
        const CliRun run = runCli("book build " + out + " " + games + " " + c.inputs);
        if (c.err.empty()) {
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(fileSize(out), 1'048'816);
        } else {
            EXPECT_EQ(run.status, 2);
            EXPECT_TRUE(run.out.empty());
            EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
            EXPECT_NE(run.err.find("left as it was"), std::string::npos) << run.err;
            struct stat after {};
            ASSERT_EQ(lstat(out.c_str(), &after), 0);
            EXPECT_EQ(after.st_ino, before.st_ino);
            EXPECT_EQ(after.st_mode, before.st_mode);
            if (S_ISREG(after.st_mode)) {
                EXPECT_EQ(readFile(out), content);
            }
        }
        std::remove((folder + "/link").c_str());
        std::remove(out.c_str());  // a file, a link, a FIFO or an empty directory
    }
    EXPECT_EQ(readFile(book), oldBook);
    std::remove(book.c_str());
    rmdir(folder.c_str());
}
