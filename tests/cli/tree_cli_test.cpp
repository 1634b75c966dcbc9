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

TEST(CliTree, RefusesBadArguments) {
    const std::string file = std::string(NORVANE_TEST_DATA) + "/kasparov-deep-blue-1997.pgn";
    for (const std::string& args :
         {std::string("tree"), "tree " + file + " --position", "tree " + file + " --position 'e4 e4'",
          std::string("tree /nonexistent.pgn"), "tree " + std::string(NORVANE_TEST_DATA) + "/torture.pgn"}) {
        const CliRun run = runCli(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_TRUE(run.out.empty()) << args;
    }
}
