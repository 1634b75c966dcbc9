// tree: the opening explorer's rows and its refusals.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "cli_run.h"

namespace {

// Whether pid holds a descriptor open on path.
bool holdsOpen(pid_t pid, const std::string& path) {
    const std::string folder = "/proc/" + std::to_string(pid) + "/fd";
    bool              found  = false;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            char          target[4096];
            const ssize_t n = readlink((folder + "/" + entry->d_name).c_str(), target, sizeof target);
            found = found || (n > 0 && std::string(target, static_cast<std::size_t>(n)) == path);
        }
        closedir(dir);
    }
    return found;
}

}  // namespace

TEST(CliTree, RowsByCountThenGamesThroughThePosition) {
    const std::string file = std::string(NORVANE_TEST_DATA) + "/kasparov-deep-blue-1997.pgn";
    const CliRun      run  = runCli("tree " + file + " --position 'Nf3 d5'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "g3\t2\t50\t50\t0\t1997\tReti: King's Indian attack (Barcza system)\npositions 2\n");
    EXPECT_EQ(lastLine(runCli("tree " + file).out), "positions 6");
}

// The opening column follows the name options as the program's explorer does: Japanese
// names, and a position past the table named after the last one on its way, marked.
TEST(CliTree, OpeningNamesFollowTheOptions) {
    const std::string file = std::string(NORVANE_TEST_DATA) + "/kasparov-deep-blue-1997.pgn";
    CliRun            run  = runCli("tree " + file + " --position 'Nf3 d5' --names ja");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("\tレティ："), std::string::npos) << run.out;
    run = runCli("tree --last-named " + file + " --position 'Nf3 d5 g3'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("A07以降 "), std::string::npos) << run.out;
    EXPECT_EQ(runCli("tree " + file + " --names fr").status, 2);
}

TEST(CliTree, RefusesBadArguments) {
    const std::string file = std::string(NORVANE_TEST_DATA) + "/kasparov-deep-blue-1997.pgn";
    for (const std::string& args :
         {std::string("tree"), "tree " + file + " --position", "tree " + file + " --position 'e4 e4'",
          std::string("tree /nonexistent.pgn"), "tree " + std::string(NORVANE_TEST_DATA) + "/anastasian-lewis.pgn"}) {
        const CliRun run = runCli(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_TRUE(run.out.empty()) << args;
    }
}

// An empty line of moves, or startpos, is the start position, as no --position at all.
TEST(CliTree, EmptyPositionIsTheStartPosition) {
    const std::string file  = std::string(NORVANE_TEST_DATA) + "/kasparov-deep-blue-1997.pgn";
    const CliRun      plain = runCli("tree " + file);
    EXPECT_EQ(plain.status, 0) << plain.err;
    for (const char* position : {"''", "startpos", "' '"}) {
        const CliRun run = runCli("tree " + file + " --position " + position);
        EXPECT_EQ(run.status, 0) << position << run.err;
        EXPECT_EQ(run.out, plain.out) << position;
    }
}

// A file another program rewrites while the tree reads it is reported, never counted as if it
// were one file: the answer is the whole file's as it was, or status 2. The file is cut to
// half as soon as the command has it open, mostly while the tree is being built.
TEST(CliTree, FileChangedWhileReadIsAnError) {
    const std::string original = readFile(std::string(NORVANE_TEST_DATA) + "/twic944.pgn");
    const std::string pgn      = scratchPath("tree-changing.pgn");
    const std::string out      = scratchPath("tree-changing.out");
    const std::string err      = scratchPath("tree-changing.err");
    writeFile(pgn, original + original + original + original);
    const CliRun whole = runCli("tree " + pgn);
    ASSERT_EQ(whole.status, 0) << whole.err;
    for (int round = 0; round < 3; ++round) {
        writeFile(pgn, original + original + original + original);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (!freopen(out.c_str(), "w", stdout) || !freopen(err.c_str(), "w", stderr)) _exit(126);
            execl(NORVANE_CLI, NORVANE_CLI, "tree", pgn.c_str(), nullptr);
            _exit(127);
        }
        int  status = 0;
        bool ended  = false;
        while (!holdsOpen(child, pgn) && !(ended = waitpid(child, &status, WNOHANG) == child)) {}
        writeFile(pgn, original.substr(0, original.size() / 2));
        if (!ended) {
            ASSERT_EQ(waitpid(child, &status, 0), child);
        }
        ASSERT_TRUE(WIFEXITED(status));
        if (WEXITSTATUS(status) == 0) {
            EXPECT_EQ(readFile(out), whole.out);
        } else {
            EXPECT_EQ(WEXITSTATUS(status), 2);
            EXPECT_NE(readFile(err).find("changed on disk"), std::string::npos) << readFile(err);
        }
    }
    for (const std::string& path : {pgn, out, err}) std::remove(path.c_str());
}
