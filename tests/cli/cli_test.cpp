// The command-line companion, run as a script would run it.
#include "cli_run.h"

TEST(Cli, PerftCountsAndDivides) {
    CliRun run = runCli("perft 3");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(lastLine(run.out), "nodes 8902");
    EXPECT_FALSE(valueOf(run.out, "nps").empty());

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
    EXPECT_NE(run.out.find("opening: A01 Nimzovich-Larsen attack\n"), std::string::npos);
    EXPECT_EQ(lastLine(run.out), "key 0x38C177725DE22522");
    EXPECT_EQ(runCli("position").out.find("opening:"), std::string::npos);
}

TEST(Cli, PositionTakesSanAndCoordinates) {
    const CliRun san   = runCli("position e4 c5 Nf3 d6 d4 cxd4 Nxd4 Nf6 Nc3 a6");
    const CliRun mixed = runCli("position e2e4 c5 g1f3 d6 d4 c5d4 Nxd4 g8f6 Nc3 a7a6");
    EXPECT_EQ(san.status, 0);
    EXPECT_EQ(san.out, mixed.out);
    EXPECT_NE(san.out.find("fen: rnbqkb1r/1p2pppp/p2p1n2/8/3NP3/2N5/PPP2PPP/R1BQKB1R w KQkq - 0 6\n"),
              std::string::npos);
}

// The outcome and claimable lines stand before the last line, which stays the key.
TEST(Cli, PositionSaysHowTheGameStands) {
    struct Case { std::string args, outcome, claimable; };
    const Case cases[] = {
        {"position", "none", "none"},
        {"position Nf3 Nf6 Ng1 Ng8 Nf3 Nf6 Ng1 Ng8", "none", "threefold"},
        {"position f3 e5 g4 Qh4", "checkmate", "none"},
        {"position --fen '4k3/8/8/8/8/8/8/R3K3 w - - 99 70' Ra2", "none", "fifty"},
        {"position --fen '4k3/8/8/8/8/8/8/R3K3 w - - 149 70' Ra2", "seventyfive", "fifty"},
        {"position --fen '8/8/4k3/8/8/4K3/4r3/8 w - - 0 1' Kxe2", "insufficient", "none"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const CliRun run = runCli(c.args);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(valueOf(run.out, "outcome"), c.outcome);
        EXPECT_EQ(valueOf(run.out, "claimable"), c.claimable);
        EXPECT_EQ(lastLine(run.out).rfind("key 0x", 0), 0u);
    }
}

// The program's opening-name settings: the same label as its status line.
TEST(Cli, PositionNamesOpeningsAsTheSettingsSay) {
    const std::string najdorf = "position e4 c5 Nf3 d6 d4 cxd4 Nxd4 Nf6 Nc3 a6";
    struct Case { std::string args, opening; };
    const Case cases[] = {
        {najdorf + " --names ja", "opening: B90 シシリアン：ナイドルフ\n"},
        {najdorf + " --names en", "opening: B90 Sicilian: Najdorf\n"},
        {najdorf + " Be3", ""},  // off the table: no opening by default
        {najdorf + " Be3 --last-named", "opening: B90以降 Sicilian: Najdorf\n"},
        {"position --last-named --names ja " + najdorf.substr(9) + " Be3 e5",
         "opening: B90以降 シシリアン：ナイドルフ\n"},
        {"position --last-named a3", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const CliRun run   = runCli(c.args);
        const auto   start = run.out.find("opening: ");
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(start == std::string::npos ? "" : run.out.substr(start, run.out.find('\n', start) + 1 - start),
                  c.opening);
    }
}

TEST(Cli, ErrorsGoToStandardErrorWithStatus2) {
    const char* cases[] = {"frobnicate", "", "perft", "perft 0", "perft x", "perft 2 --fen 'bad fen'",
                           "position e2e5", "position Nf4", "position --fen", "position --fen '8/8/8/8/8/8/8/8 w - -'",
                           "perft 1 --fen ''", "position --fen ''", "think --fen ''", "help frobnicate",
                           "help perft think",
                           "position --names", "position --names fr e4"};
    for (const char* args : cases) expectRefused(args);
}

// A call of the wrong shape names the fault and prints that subcommand's usage, whichever
// side of the operands the option stands.
TEST(Cli, UsageErrorsPrintTheSubcommandsUsage) {
    struct Case { const char* args; const char* message; const char* usage; };
    const Case cases[] = {
        {"perft 2 --frob", "perft: unknown option: --frob", "perft DEPTH [--fen FEN] [--divide]"},
        {"perft --fen", "perft: --fen needs a value", "perft DEPTH"},
        {"perft 1 2", "perft: takes one DEPTH", "perft DEPTH"},
        {"position --fen '' e4", "position: --fen needs a value", "position [--fen FEN]"},
        {"search --name x", "search: takes one FILE", "search FILE [--name S]"},
        {"search --eco Z99 f.pgn", "search: --eco takes a code A00-E99", "search FILE"},
        {"index a.pgn b.pgn", "index: takes one FILE", "index FILE"},
        {"info f.pgn --threads 0", "info: --threads takes a number from 1 to 256", "info FILE [--threads N]"},
        {"game f.pgn", "game: takes a FILE and a game number", "game FILE N"},
        {"book build out.dat", "book: needs build", "book build OUT PGN... [--plies N]"},
        {"think --time-ms 0", "think: --time-ms needs a number", "think [--fen FEN]"},
        {"bench 3", "bench: takes no arguments", "usage: norvane-cli bench\n"},
        {"uci x", "uci: takes no arguments", "usage: norvane-cli uci\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const CliRun run = runCli(c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.empty());
        EXPECT_NE(run.err.find(std::string("norvane-cli: ") + c.message), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.usage), std::string::npos) << run.err;
    }
}

TEST(Cli, HelpAndVersion) {
    CliRun run = runCli("--version");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("norvane-cli ", 0), 0u);

    for (const char* args : {"--help", "help"}) {
        run = runCli(args);
        EXPECT_EQ(run.status, 0) << args;
        for (const char* name : {"perft", "position", "think", "bench", "uci", "index", "search",
                                 "info", "game", "book build"})
            EXPECT_NE(run.out.find(std::string("norvane-cli ") + name), std::string::npos) << name;
    }
    for (const char* args : {"help think", "think --help", "think e4 --help"}) {
        run = runCli(args);
        EXPECT_EQ(run.status, 0) << args;
        EXPECT_NE(run.out.find("norvane-cli think [--fen FEN] [MOVE ...] [--time-ms N]"), std::string::npos)
            << args << run.out;
        EXPECT_EQ(run.out.find("perft"), std::string::npos);
    }
}

// Output that cannot be written (a full disk, a closed standard output) is an error, also
// for output that is written row by row.
TEST(Cli, WriteErrorsEndWithStatus2) {
    const std::string pgn = std::string(NORVANE_TEST_DATA) + "/kasparov-deep-blue-1997.pgn";
    const std::string uciInput = scratchPath("uci-input.txt");
    writeFile(uciInput, "uci\nisready\n");
    const std::string cases[] = {"perft 2 > /dev/full", "position e4 > /dev/full", "--help > /dev/full",
                                 "index " + std::string(NORVANE_TEST_DATA) + "/twic944.pgn > /dev/full",
                                 "search " + pgn + " > /dev/full", "info " + pgn + " > /dev/full",
                                 "game " + pgn + " 0 > /dev/full", "perft 1 >&-", "index " + pgn + " >&-",
                                 "uci < " + uciInput + " > /dev/full"};
    for (const std::string& args : cases) {
        SCOPED_TRACE(args);
        const CliRun run = runCli(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("norvane-cli: cannot write to standard output"), std::string::npos) << run.err;
    }
    std::remove(uciInput.c_str());
}
