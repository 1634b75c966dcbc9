// tree: the opening explorer's rows and its refusals.
#include <gtest/gtest.h>

#include "cli_run.h"

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
