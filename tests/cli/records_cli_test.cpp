// index, search, info and game on real files.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "cli_run.h"

namespace {

std::string data(const char* name) { return std::string(NORVANE_TEST_DATA) + "/" + name; }

}  // namespace

TEST(CliRecords, IndexListsGamesWithTheirRanges) {
    const CliRun run = runCli("index " + data("kasparov-deep-blue-1997.pgn"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(lastLine(run.out), "games 6");
    // The first nine columns as they always were, then the ratings ("?" in the file: none),
    // the date, the event, the site and the round.
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')),
              "0\tGarry Kasparov\tDeep Blue (Computer)\t1-0\t45\t1997\tA06\t0\t714"
              "\t\t\t1997.??.??\tIBM Man-Machine, New York USA\t01\t?");
    const CliRun twic = runCli("index " + data("twic944.pgn"));
    EXPECT_EQ(twic.status, 0);
    EXPECT_EQ(twic.out.substr(0, twic.out.find('\n')),
              "0\tCarlsen,M\tJones,G\t1-0\t38\t2012\tB53\t0\t787"
              "\t2848\t2644\t2012.12.04\t4th London Chess Classic\tLondon ENG\t4.1");
}

TEST(CliRecords, SearchByCriteriaAndByPosition) {
    const std::string file = data("kasparov-deep-blue-1997.pgn");
    struct Case { std::string args; std::string out; };
    const Case cases[] = {
        {"", "0\n1\n2\n3\n4\n5\nmatched 6\n"},
        {"--name 'deep BLUE' --result 1-0", "0\n1\n5\nmatched 3\n"},
        {"--eco B10", "3\nmatched 1\n"},
        {"--from 1998", "matched 0\n"},
        {"--position 'Nf3 d5 g3 Bg4'", "0\n4\nmatched 2\n"},
        {"--position 'e4 c6 d4' --result 1-0", "5\nmatched 1\n"},
        {"--position 'e2e4'", "1\n3\n5\nmatched 3\n"},
        {"--position 'e2e4' --threads 3", "1\n3\n5\nmatched 3\n"},
        {"--position 'Nf3 e5 d3'", "2\nmatched 1\n"},  // reached by 1.d3 e5 2.Nf3
        {"--position 'e4 c6 d4' --from 1998", "matched 0\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const CliRun run = runCli("search " + file + " " + c.args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, c.out);
    }
    // Options may also stand before the file, and "--" ends them.
    for (const std::string& args : {"--name 'deep BLUE' " + file + " --result 1-0",
                                   "--name 'deep BLUE' --result 1-0 -- " + file}) {
        SCOPED_TRACE(args);
        const CliRun run = runCli("search " + args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, "0\n1\n5\nmatched 3\n");
    }
}

TEST(CliRecords, PositionSearchSplitsByYearOnLargeFile) {
    const std::string search = "search " + data("twic944.pgn") +
                               " --position 'e4 c5 Nf3 d6 d4 cxd4 Nxd4 Nf6 Nc3 a6'";
    const auto count = [](const CliRun& run) { return std::stoi(lastLine(run.out).substr(8)); };
    const int all = count(runCli(search));
    EXPECT_GT(all, 50);
    EXPECT_EQ(count(runCli(search + " --to 2012")) + count(runCli(search + " --from 2013")), all);
    EXPECT_EQ(count(runCli(search + " --from 2012 --to 2013")), all);
}

TEST(CliRecords, InfoAndGame) {
    CliRun run = runCli("info " + data("kasparov-deep-blue-1997.pgn"));
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("\ngame\t:      6\n1-0\t:      3   50%\n0-1\t:      0    0%\n"
                           "1/2-1/2\t:      3   50%\n\nA00      1  16% "),
              std::string::npos)
        << run.out;

    run = runCli("game " + data("kasparov-deep-blue-1997.pgn") + " 1");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.substr(0, run.out.find("\n\n") + 2),
              "[Event \"IBM Man-Machine, New York USA\"]\n[Site \"02\"]\n[Date \"1997.??.??\"]\n"
              "[Round \"?\"]\n[White \"Deep Blue (Computer)\"]\n[Black \"Garry Kasparov\"]\n"
              "[Result \"1-0\"]\n[ECO \"C93\"]\n[EventDate \"?\"]\n[WhiteElo \"?\"]\n[BlackElo \"?\"]\n"
              "[PlyCount \"89\"]\n\n");
    EXPECT_EQ(run.out.substr(run.out.find("\n\n") + 2, 30), "1.e4 e5 2.Nf3 Nc6 3.Bb5 a6 4.B");
    EXPECT_EQ(run.out.substr(run.out.size() - 5), "1-0\n\n");
}

// What of a file is not read is said on standard error; a file with a readable game keeps
// status 0.
TEST(CliRecords, WhatIsNotReadIsReported) {
    std::string tooLong = "[Event \"E\"]\n\n";
    for (int i = 0; i < 600; ++i) tooLong += std::string(i % 2 ? "" : std::to_string(i / 2 + 1) + ". ") +
                                             (const char*[]){"Nf3", "Nf6", "Ng1", "Ng8"}[i % 4] + " ";
    struct Case { const char* what; std::string text; std::string command; int status; std::string err; };
    const Case cases[] = {
        {"a damaged game", "[Event \"a\"]\n\n1. e4 *\n\n[Event \"b\"]\n\n1. d4 Z0 *\n\n[Event \"c\"]\n\n1. c4 *\n",
         "index", 0, ": game skipped at line 7: 1. d4 Z0 *\n"},
        {"the count of one damaged game", "[Event \"a\"]\n\n1. e4 *\n\n[Event \"b\"]\n\n1. d4 Z0 *\n", "info", 0,
         ": 1 damaged game skipped\n"},
        {"a zero byte", "[Event \"a\"]\n\n1. e4 *\n" + std::string(1, '\0') + "\n", "info", 0,
         ": 1 zero byte at offset 21\n"},
        {"zero bytes", "[Event \"a\"]\n\n1. e4 *\n" + std::string(2, '\0') + "\n", "info", 0,
         ": 2 zero bytes, the first at offset 21\n"},
        {"text that holds no game", "no game here\n", "index", 0,
         ": 10 bytes of text outside any game, the first at offset 0\n"},
        {"CR line ends", "[Event \"E\"]\r\r1. e4 Z0 *\r", "index", 2, "at line 3: 1. e4 Z0 *\n"},
        {"control bytes quoted", "[Event \"E\"]\n\n1. e4 \x1b[2J Z0 *\n", "index", 2, "1. e4 \\x1B[2J Z0 *"},
        {"the move that cannot be read", "[Event \"E\"]\n\n1. e4 e5 2. Ke3 *\n", "game", 2,
         "game 0: move 2. Ke3 cannot be read\n"},
        {"black's move", "[FEN \"4k3/8/8/8/8/8/8/4K3 b - - 0 7\"]\n\n7... Kd7 8. Kd2 Kc9 *\n", "game", 2,
         "game 0: move 8... Kc9 cannot be read\n"},
        {"a game beyond the move limit", tooLong + "*\n", "game", 2,
         "game 0: the game exceeds the limit of 512 half-moves (at move 257.)\n"},
        {"an empty file", "", "info", 2, ": info: " + std::string("PATH") + " holds no game\n"},
        {"text without a game", "no game\n", "info", 2, " holds no game\n"},
        {"an empty file's index", "", "index", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = ::testing::TempDir() + "cli-report-" + std::to_string(getpid()) + ".pgn";
        std::ofstream(path, std::ios::binary) << c.text;
        const CliRun run = runCli(c.command + " " + path + (c.command == "game" ? " 0" : ""));
        EXPECT_EQ(run.status, c.status) << run.err;
        std::string err = c.err;
        if (err.find("PATH") != std::string::npos) err.replace(err.find("PATH"), 4, path);
        EXPECT_NE(run.err.find(err), std::string::npos) << run.err;
        if (c.status == 2) {
            EXPECT_TRUE(run.out.empty()) << run.out;
        }
        EXPECT_EQ(run.err.find('\x1b'), std::string::npos);
        std::remove(path.c_str());
    }
}

TEST(CliRecords, BadFilesAndArguments) {
    // A file no game of which can be read: one English line, the place where it broke and
    // the line's text.
    const std::string broken = data("anastasian-lewis.pgn");
    const std::string place =
        broken + " is not a valid PGN file: no game can be read; the first breaks at line 20: Rxf3 41. Bxf3 Z0 42. Ke1 Qh1+ 1-0\n";
    for (const std::string command : {"index", "info", "search", "game", "book"}) {
        const std::string args =
            command == "book"   ? "book build " + scratchPath("none.dat") + " " + broken
            : command == "game" ? "game " + broken + " 0"
                                : command + " " + broken;
        const CliRun      run  = runCli(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(run.err, "norvane-cli: " + command + ": " + place);
    }

    const std::string twic = data("twic944.pgn");
    const std::string cases[] = {"index", "index /nonexistent.pgn", "index " + data(""),
                                 "search " + twic + " --eco Z00", "search " + twic + " --result 2-0",
                                 "search " + twic + " --from 1990 --to 1980",
                                 "search " + twic + " --position 'e4 e4'", "search " + twic + " --name",
                                 "game " + twic + " 2953", "game " + twic + " x",
                                 "game " + data("carlsen-chesscom.pgn") + " 11",  // Chess960
                                 "info " + data("anastasian-lewis.pgn")};
    for (const std::string& args : cases) expectRefused(args);

    // The catalogue's criteria: bad values and criteria that need another.
    const std::string catalogueCases[] = {
        "--side white", "--name x --side left", "--elo-min 0", "--elo-min 2700 --elo-max 2600",
        "--elo-max x", "--elo-of both", "--elo-min 2000 --elo-of player",
        "--elo-min 2000 --elo-of some", "--event ''", "--site " + std::string(64, 's'),
        "--date-from 2012.3.1", "--date-to 2012.02.30x", "--date-from 2012.06 --date-to 2012.05",
        "--eco-range B99-B90", "--eco-range Z00-Z10", "--moves-min 0",
        "--moves-min 30 --moves-max 20", "--moves-max many"};
    for (const std::string& args : catalogueCases) expectRefused("search " + twic + " " + args);
}

// The new criteria beside the position: all must hold.
TEST(CliRecords, SearchByCatalogueCriteriaWithAPosition) {
    const std::string file = data("catalogue-search.pgn");
    struct Case { std::string args; std::string out; };
    const Case cases[] = {
        {"--position 'e4 c5' --elo-min 2800", "0\n1\n3\nmatched 3\n"},
        {"--position 'e4 c5' --event oslo --date-from 2013", "10\nmatched 1\n"},
        {"--name carlsen --side black --eco-range B90-B99 --moves-min 6", "1\nmatched 1\n"},
        {"--eco-range B90", "0\n10\nmatched 2\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const CliRun run = runCli("search " + file + " " + c.args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, c.out);
    }
}

// One game is one row: a TAB, CR, LF or backslash inside a value is written as an escape. The
// file's "\\" is the tag escape of one backslash.
TEST(CliRecords, IndexEscapesControlCharactersInValues) {
    const std::string pgn = scratchPath("escapes.pgn");
    writeFile(pgn, "[White \"Tab\there\"]\n[Black \"Back\\\\slash\"]\n[Result \"1-0\"]\n"
                   "[Event \"Open\tA\"]\n\n1. e4 1-0\n");
    const CliRun run = runCli("index " + pgn);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')),
              "0\tTab\\there\tBack\\\\slash\t1-0\t1\t0\t\t0\t82\t\t\t????.??.??\tOpen\\tA\t\t")
        << run.out;
    EXPECT_EQ(lastLine(run.out), "games 1");
    std::remove(pgn.c_str());
}

// Names are written whole, however long (a tag value holds up to 255 bytes).
TEST(CliRecords, IndexWritesWholeNames) {
    const std::string pgn   = scratchPath("long-names.pgn");
    const std::string white = std::string(240, 'w') + "羽生 善治"; // 253 bytes
    writeFile(pgn, "[White \"" + white + "\"]\n\n1. e4 1-0\n");
    const CliRun run = runCli("index " + pgn);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')),
              "0\t" + white + "\t\t1-0\t1\t0\t\t0\t" + std::to_string(white.size() + 20) +
                  "\t\t\t????.??.??\t\t\t");
    std::remove(pgn.c_str());
}

// The summary is as long as its content: a long path keeps every count after it.
TEST(CliRecords, InfoKeepsItsCountsAfterALongPath) {
    std::string path = data("kasparov-deep-blue-1997.pgn");
    while (path.size() < 4000) path = "/." + path;
    const CliRun run = runCli("info " + path);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind(path + "\ngame\t:      6\n", 0), 0u);
    EXPECT_NE(run.out.find("\nA00      1  16% "), std::string::npos);
    EXPECT_EQ(run.out.back(), '\n');
}

namespace {

// Whether the main thread of pid waits in a write to its standard error.
bool writingToStandardError(pid_t pid) {
    std::ifstream syscall("/proc/" + std::to_string(pid) + "/syscall");
    long          number = -1;
    std::string   fd;
    syscall >> number >> fd;
    return (number == SYS_write || number == SYS_writev) && fd == "0x2";
}

}  // namespace

// A file changed between the index pass and the read that follows is reported, never read
// as the file indexed. The file's stray text gives a line on standard error between the two;
// standard error is a full pipe, so the command waits there while the test changes the file.
TEST(CliRecords, FileChangedBetweenPassesIsAnError) {
    const std::string original = "stray text\n" + readFile(data("kasparov-deep-blue-1997.pgn"));
    const std::string pgn      = scratchPath("changing.pgn");
    for (const std::string command : {"game", "search"}) {
        SCOPED_TRACE(command);
        writeFile(pgn, original);
        int errors[2];
        ASSERT_EQ(pipe2(errors, O_CLOEXEC), 0);
        fcntl(errors[1], F_SETPIPE_SZ, 4096);
        fcntl(errors[1], F_SETFL, O_NONBLOCK);
        const std::string filler(4096, '.');
        while (write(errors[1], filler.data(), filler.size()) > 0 || errno == EINTR) {}
        ASSERT_EQ(errno, EAGAIN);
        fcntl(errors[1], F_SETFL, 0);  // the command's writes wait for room
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (dup2(errors[1], 2) != 2 || !freopen("/dev/null", "w", stdout)) _exit(126);
            if (command == "game")
                execl(NORVANE_CLI, NORVANE_CLI, "game", pgn.c_str(), "1", nullptr);
            else
                execl(NORVANE_CLI, NORVANE_CLI, "search", pgn.c_str(), "--position", "e4", nullptr);
            _exit(127);
        }
        close(errors[1]);
        // Past the index pass and its check once it writes; a minute is far more than enough.
        bool waiting = false;
        for (int i = 0; i < 60000 && !(waiting = writingToStandardError(child)); ++i) usleep(1000);
        EXPECT_TRUE(waiting);
        writeFile(pgn, original.substr(0, original.size() / 2));  // truncated by another program
        std::string err;
        char        buffer[4096];
        for (ssize_t n; (n = read(errors[0], buffer, sizeof buffer)) != 0;) {
            if (n > 0)
                err.append(buffer, static_cast<std::size_t>(n));
            else if (errno != EINTR)
                break;
        }
        close(errors[0]);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 2);
        EXPECT_NE(err.find("text outside any game"), std::string::npos) << err;
        EXPECT_NE(err.find("changed on disk"), std::string::npos) << err;
    }
    std::remove(pgn.c_str());
}

// Out of memory is an error like any other: a message and status 2, not an abort.
// A system that refuses more threads (here: each thread would reserve a 1 GB stack in a
// 300 MB address space) leaves the passes to the calling thread; they still read the file.
TEST(CliRecords, PassesReadOnWhenNoThreadCanStart) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#endif
    const std::string pgn = scratchPath("no-threads.pgn");
    std::string       games;
    for (int i = 0; i < 200000; ++i) games += "[White \"a\"]\n\n1. e4 1-0\n\n"; // two ranges
    writeFile(pgn, games);
    const std::string limits = "ulimit -s 1000000; ulimit -v 300000; ";
    const struct {
        std::string command, lastLine;
    } cases[] = {{"search " + pgn + " --name a --threads 2", "matched 200000"},
                 {"tree " + pgn + " --threads 2", "positions 200000"},
                 {"book build " + scratchPath("no-threads.dat") + " " + pgn + " --threads 2",
                  "positions 1"}};
    for (const auto& c : cases) {
        const CliRun run = runCli(c.command, limits);
        EXPECT_EQ(run.status, 0) << c.command << "\n" << run.err;
        EXPECT_EQ(lastLine(run.out), c.lastLine) << c.command;
    }
    std::remove(pgn.c_str());
    std::remove(scratchPath("no-threads.dat").c_str());
}

TEST(CliRecords, OutOfMemoryIsReported) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#endif
    const std::string pgn = scratchPath("many-games.pgn");
    std::string       games;
    for (int i = 0; i < 1000000; ++i) games += "[White \"a\"]\n\n1. e4 1-0\n\n";
    writeFile(pgn, games);
    // 1,000,000 index entries take 32 MB; the process may have 30.
    const CliRun run = runCli("index " + pgn, "ulimit -v 30000; ");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "norvane-cli: out of memory\n");
    std::remove(pgn.c_str());
}

// The start position and positions given as FEN: placement, side, castling and the en-passant
// square (where a pawn can take on it) are compared as the hash key compares them; a set-up
// game is found by its own position.
TEST(CliRecords, SearchFindsTheStartPositionAndPositionsGivenAsFen) {
    const std::string pgn = scratchPath("positions.pgn");
    writeFile(pgn,
              "[Event \"a\"]\n\n1. e4 d5 2. e5 f5 3. Nf3 *\n\n"
              "[Event \"b\"]\n[SetUp \"1\"]\n[FEN \"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1\"]\n\n1. Kd2 *\n\n"
              "[Event \"c\"]\n\n1. d4 *\n\n"
              "[Event \"d\"]\n\n1. e4 e5 *\n");
    const std::string start = "'rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1'";
    const std::string afterE4 = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR";
    const std::string passed  = "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq";
    struct Case { std::string args, out; };
    const Case cases[] = {
        {"--position ''", "0\n2\n3\nmatched 3\n"},
        {"--position startpos", "0\n2\n3\nmatched 3\n"},
        {"--fen " + start, "0\n2\n3\nmatched 3\n"},
        {"--fen '" + afterE4 + " b KQkq e3 0 1'", "0\n3\nmatched 2\n"},
        {"--fen '" + afterE4 + " b KQkq -'", "0\n3\nmatched 2\n"},  // no counters; e3 no pawn takes
        {"--fen '" + afterE4 + " b KQkq -' --position e5", "3\nmatched 1\n"},
        {"--fen '" + afterE4 + " b - - 0 1'", "matched 0\n"},     // other castling rights
        {"--fen '" + afterE4 + " w KQkq - 0 1'", "matched 0\n"},  // the other side to move
        {"--fen '" + passed + " f6 0 3'", "0\nmatched 1\n"},
        {"--fen '" + passed + " - 0 3'", "matched 0\n"},  // e5xf6 is possible: f6 counts
        {"--fen '4k3/8/8/8/8/8/4P3/4K3 w - -'", "1\nmatched 1\n"},
        {"--fen '4k3/8/8/8/8/8/3KP3/8 b - - 1 1'", "1\nmatched 1\n"},
        {"--fen " + start + " --position 'e4 e5' --result 1-0", "matched 0\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const CliRun run = runCli("search " + pgn + " " + c.args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, c.out);
    }
    const struct {
        std::string args, err;
    } refused[] = {
        {"--fen 'not a position'", "search: --fen: bad FEN: "},
        {"--fen '8/8/8/8/8/8/8/8 w - - 0 1'", "each side needs exactly one king"},
        {"--fen '" + afterE4 + " b KQkq e6 0 1'", "bad en-passant square"},
        {"--fen " + start + " --position startpos", "two different positions"},
        {"--fen " + start + " --position 'e4 e4'",
         "search: --position: illegal or unreadable move: e4"},
        {"--fen ''", "--fen needs a value"},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.args);
        const CliRun run = runCli("search " + pgn + " " + r.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.empty());
        EXPECT_NE(run.err.find(r.err), std::string::npos) << run.err;
    }
    EXPECT_NE(runCli("help search").out.find("startpos"), std::string::npos);
    std::remove(pgn.c_str());
}

// A file that cannot be read says why: missing, a folder, a device, not permitted. One that is
// not a regular file is refused before anything is read from it: a FIFO with no writer never
// holds a command up (the timeout only turns a hang into a failure).
TEST(CliRecords, FilesThatCannotBeReadSayWhy) {
    const std::string folder = scratchPath("kinds");
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    const std::string fifo = folder + "/fifo.pgn", locked = folder + "/locked.pgn";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    writeFile(locked, readFile(data("kasparov-deep-blue-1997.pgn")));
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    struct File { std::string path, reason; };
    std::vector<File> files = {
        {folder + "/missing.pgn", "No such file or directory"},
        {folder, "it is a directory, not a regular file"},
        {fifo, "it is a FIFO (named pipe), not a regular file"},
        {"/dev/null", "it is a character device, not a regular file"},
    };
    if (geteuid() != 0) files.push_back({locked, "Permission denied"});  // root reads it all
    for (const std::string command : {"info", "index", "search", "tree", "game", "book"}) {
        for (const File& file : files) {
            const std::string args =
                command == "book"   ? "book build " + folder + "/out.dat " + file.path
                : command == "game" ? "game " + file.path + " 0"
                                    : command + " " + file.path;
            SCOPED_TRACE(args);
            const CliRun run = runCli(args, "timeout 60 ");
            EXPECT_EQ(run.status, 2);
            EXPECT_TRUE(run.out.empty());
            EXPECT_NE(run.err.find("norvane-cli: " + command + ": cannot open " + file.path + ": " +
                                   file.reason + "\n"),
                      std::string::npos)
                << run.err;
        }
    }
    for (const std::string& path : {fifo, locked}) std::remove(path.c_str());
    rmdir(folder.c_str());
}

// game --annotated writes the whole tree; its output read back and written again is the same,
// and without the option the main line alone is written as before.
TEST(CliRecords, GameAnnotatedWritesTheWholeGame) {
    const CliRun whole = runCli("game " + data("nested-variations.pgn") + " 2 --annotated");
    ASSERT_EQ(whole.status, 0) << whole.err;
    EXPECT_NE(whole.out.find("(6.c4 Bg7 { chapter 3 variation 1 comment } 7.O-O) 6...Bg7"),
              std::string::npos)
        << whole.out;
    const std::string path = ::testing::TempDir() + "norvane-annotated-" + std::to_string(getpid()) + ".pgn";
    std::ofstream(path, std::ios::binary) << whole.out;
    const CliRun again = runCli("game " + path + " 0 --annotated");
    EXPECT_EQ(again.out, whole.out);
    const CliRun plain = runCli("game " + path + " 0");
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.out.find('{'), std::string::npos);
    EXPECT_EQ(plain.out.find('('), std::string::npos);
    std::remove(path.c_str());
}
