// think, bench and uci: the engine through the command-line companion.
#include <sys/stat.h>

#include <algorithm>
#include <fstream>

#include "cli_run.h"

namespace {

// Is move legal after the given position arguments? Asked of the companion itself.
bool legalAfter(const std::string& position, const std::string& move) {
    return runCli("position " + position + " " + move).status == 0;
}

std::string valueOf(const std::vector<std::string>& lines, const std::string& key) {
    for (const std::string& line : lines)
        if (line.rfind(key + " ", 0) == 0) return line.substr(key.size() + 1);
    return "(missing)";
}

const std::string noBook = "--book " + ::testing::TempDir() + "no-such-book.dat";

}  // namespace

TEST(CliThink, ReportsTheChoiceWithBestmoveLast) {
    CliRun run = runCli("think --fen '6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -' " + noBook);
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> lines = outputLines(run.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "bestmove d1d8");
    EXPECT_EQ(valueOf(lines, "score"), "32767");
    EXPECT_EQ(valueOf(lines, "depth"), "1");
    EXPECT_EQ(valueOf(lines, "book"), "no");
    EXPECT_EQ(valueOf(lines, "san"), "Rd8#");
    EXPECT_NE(valueOf(lines, "nodes"), "(missing)");

    // Moves after the FEN, and a time limit.
    run = runCli("think --fen '4k3/8/8/8/8/8/8/R3K3 w - -' a1a7 e8d8 --time-ms 300 " + noBook);
    ASSERT_EQ(run.status, 0) << run.err;
    lines = outputLines(run.out);
    const std::string move = lines.back().substr(9);
    EXPECT_TRUE(legalAfter("--fen '4k3/8/8/8/8/8/8/R3K3 w - -' a1a7 e8d8", move)) << move;

    run = runCli("think --fen 'rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq -' " +
                        noBook);
    ASSERT_EQ(run.status, 0);
    lines = outputLines(run.out);
    EXPECT_EQ(lines.back(), "bestmove none");
    EXPECT_EQ(valueOf(lines, "san"), "none");
    EXPECT_EQ(valueOf(lines, "score"), "-32767");
}

TEST(CliThink, UsesTheBookItIsGiven) {
    // One record for the initial position, in its home slot; the key as the companion gives it.
    const std::vector<std::string> position = outputLines(runCli("position").out);
    ASSERT_FALSE(position.empty());
    const std::uint64_t key  = std::stoull(position.back().substr(6), nullptr, 16);
    const std::string   path = ::testing::TempDir() + "cli-book.dat";
    {
        const int g1f3 = 6 * 64 + 21;
        char      record[16] = {};
        for (int i = 0; i < 8; ++i) record[i] = static_cast<char>(key >> (8 * i));
        record[8] = static_cast<char>(g1f3 & 0xFF);
        record[9] = static_cast<char>(g1f3 >> 8);
        std::ofstream file(path, std::ios::binary);
        file.seekp(static_cast<std::streamoff>(key & 0xFFFF) * 16);
        file.write(record, sizeof record);
    }
    const CliRun run = runCli("think --book " + path);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = outputLines(run.out);
    EXPECT_EQ(valueOf(lines, "book"), "yes");
    EXPECT_EQ(valueOf(lines, "san"), "Nf3");
    EXPECT_EQ(lines.back(), "bestmove g1f3");
}

// A book path that is not a regular file is no book: a FIFO with no writer never holds the
// engine up (the timeout only turns a hang into a failure).
TEST(CliThink, ABookThatIsNotARegularFileIsNoBook) {
    const std::string fifo = scratchPath("book-fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    for (const std::string& path : {fifo, ::testing::TempDir(), std::string("/dev/null")}) {
        SCOPED_TRACE(path);
        const CliRun run = runCli("think --time-ms 10 --book " + path, "timeout 60 ");
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(valueOf(outputLines(run.out), "book"), "no");
    }
    std::remove(fifo.c_str());
}

TEST(CliThink, RejectsBadArguments) {
    const char* cases[] = {"think --time-ms", "think --time-ms 0", "think --time-ms x",
                           "think e2e5", "think --fen 'nonsense'", "think --depth 3", "bench 3"};
    for (const char* args : cases) expectRefused(args);
}

// The node total is the search's signature: a change to the search or the evaluation moves
// it, and then this number is updated on purpose.
TEST(CliBench, NodeCountIsPinned) {
    const CliRun run = runCli("bench");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = outputLines(run.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("nodes 1011964 nps ", 0), 0u) << lines.back();
}

TEST(CliUci, PlaysThroughTheProtocol) {
    const std::string script = ::testing::TempDir() + "uci-session.txt";
    {
        std::ofstream in(script);
        in << "uci\n"
              "isready\n"
              "ucinewgame\n"
              "position startpos moves e2e4 e7e5\n"
              "go movetime 200\n"
              "position fen 6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\n"
              "go depth 3\n"
              "position fen rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3\n"
              "go movetime 100\n"
              "setoption name Hash value 16\n"
              "frobnicate\n"
              "position startpos moves e2e4 c7c5 g1f3\n"
              "go wtime 3000 btime 3000 winc 0 binc 0\n"
              "quit\n"
              "isready\n";
    }
    const CliRun run = runCli("uci < " + script);
    ASSERT_EQ(run.status, 0) << run.err;

    std::vector<std::string> lines = outputLines(run.out), answers, bestmoves;
    for (const std::string& line : lines) {
        if (line.rfind("info ", 0) == 0) continue;
        answers.push_back(line);
        // The move alone, without the reply the engine would ponder on.
        if (line.rfind("bestmove ", 0) == 0) bestmoves.push_back(line.substr(9, line.find(' ', 9) - 9));
    }
    ASSERT_GE(answers.size(), 5u) << run.out;
    EXPECT_EQ(answers[0], "id name Norvane");
    EXPECT_EQ(answers[1].rfind("id author ", 0), 0u);
    const std::vector<std::string> options = {
        "option name OwnBook type check default true",
        "option name UCI_LimitStrength type check default false",
        "option name UCI_Elo type spin default 1850 min 200 max 1850",
        "option name Skill Level type spin default 20 min 0 max 20",
        "option name MultiPV type spin default 1 min 1 max 16",
        "option name Ponder type check default false"};
    ASSERT_GE(answers.size(), 4u + options.size()) << run.out;
    EXPECT_EQ(std::vector<std::string>(answers.begin() + 2, answers.begin() + 2 + options.size()),
              options);
    EXPECT_EQ(answers[8], "uciok");
    EXPECT_EQ(answers[9], "readyok");
    EXPECT_EQ(answers.size(), 14u) << "nothing after quit, nothing for unknown commands";

    ASSERT_EQ(bestmoves.size(), 4u);
    EXPECT_TRUE(legalAfter("e2e4 e7e5", bestmoves[0])) << bestmoves[0];
    EXPECT_EQ(bestmoves[1], "d1d8");
    EXPECT_EQ(bestmoves[2], "0000");
    EXPECT_TRUE(legalAfter("e2e4 c7c5 g1f3", bestmoves[3])) << bestmoves[3];

    EXPECT_NE(run.out.find("info depth 1 seldepth 1 multipv 1 score mate 1 nodes "), std::string::npos);
    EXPECT_NE(run.out.find(" pv d1d8\n"), std::string::npos);
}

// Given a second on each clock, the engine answers well within its own: no finished iteration
// reports more time than the clock less its margin. A position out of the book, so it searches.
TEST(CliUci, AnswersWithinItsClock) {
    const std::string script = ::testing::TempDir() + "uci-clock.txt";
    {
        std::ofstream in(script);
        in << "position fen 2r2rk1/pp1bqppp/2n1pn2/3p4/3P4/2PBPN2/P1Q2PPP/R4RK1 w - - 0 1\n"
              "go wtime 1000 btime 1000\n"
              "position fen 2r2rk1/pp1bqppp/2n1pn2/3p4/3P4/2PBPN2/P1Q2PPP/R4RK1 b - - 0 1\n"
              "go wtime 100000 btime 900 winc 100 binc 100\n";
    }
    const CliRun run = runCli("uci < " + script);
    ASSERT_EQ(run.status, 0) << run.err;
    int bestmoves = 0, infos = 0;
    for (const std::string& line : outputLines(run.out)) {
        if (line.rfind("bestmove ", 0) == 0) {
            ++bestmoves;
            EXPECT_NE(line, "bestmove 0000");
        }
        const std::size_t at = line.find(" time ");
        if (line.rfind("info depth", 0) != 0 || at == std::string::npos) continue;
        ++infos;
        // 950: a second less 50 ms, the larger of Black's two clocks less its margin.
        EXPECT_LE(std::stoll(line.substr(at + 6)), 950) << line;
    }
    EXPECT_EQ(bestmoves, 2) << run.out;
    EXPECT_GT(infos, 0) << run.out;
}

// The strength options are declared, and Skill Level 0 plays the beginner, whose search stops
// at depth 1, until Skill Level 20 (or UCI_Elo at the top rating) restores full strength. The
// position is out of the book.
TEST(CliUci, StrengthOptionsChooseTheLevel) {
    const std::string script = ::testing::TempDir() + "uci-strength.txt";
    {
        std::ofstream in(script);
        in << "uci\n"
              "position fen 2r2rk1/pp1bqppp/2n1pn2/3p4/3P4/2PBPN2/P1Q2PPP/R4RK1 w - - 0 1\n"
              "setoption name Skill Level value 0\n"
              "go depth 4\n"
              "setoption name Skill Level value 20\n"
              "go depth 4\n"
              "setoption name UCI_LimitStrength value true\n"
              "setoption name UCI_Elo value 200\n"
              "go depth 4\n"
              "setoption name UCI_Elo value 1850\n"
              "go depth 4\n"
              "ucinewgame\n"  // waits for the last search to end
              "quit\n";
    }
    const CliRun run = runCli("uci < " + script);
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* option : {"option name UCI_LimitStrength type check default false",
                               "option name UCI_Elo type spin ", "option name Skill Level type spin "})
        EXPECT_NE(run.out.find(option), std::string::npos) << option;

    // The deepest iteration reported before each bestmove.
    std::vector<int> depths;
    int              deepest = 0;
    for (const std::string& line : outputLines(run.out)) {
        if (line.rfind("info depth ", 0) == 0) deepest = std::max(deepest, std::stoi(line.substr(11)));
        if (line.rfind("bestmove ", 0) == 0) {
            EXPECT_NE(line, "bestmove 0000");
            depths.push_back(deepest);
            deepest = 0;
        }
    }
    EXPECT_EQ(depths, (std::vector<int>{1, 4, 1, 4}));
}

// A command line is read up to 1 MB: a longer one is refused with an info line and skipped
// without being held whole (the 64 MB line is read in a process that may have 60 MB), and the
// session goes on.
TEST(CliUci, LongLinesAreRefusedAndTheSessionGoesOn) {
    constexpr std::size_t Limit   = std::size_t{1} << 20;
    const std::string     refused = "info string line longer than 1048576 bytes ignored";
    struct Row {
        const char* name;
        std::string input;
        std::string shell;  // run before the companion, in its shell
        std::vector<std::string> lines;
    };
    const std::string exactly = "isready" + std::string(Limit - 7, ' ');
    const Row rows[] = {
        {"a line of exactly the limit", exactly + "\nquit\n", "", {"readyok"}},
        {"one byte over the limit", exactly + " \nisready\n", "", {refused, "readyok"}},
        {"a long last line without its end", "isready\n" + std::string(3 * Limit, 'x'), "",
         {"readyok", refused}},
        {"a 64 MB line under a memory limit", std::string(64 * Limit, 'x') + "\nisready\n",
         "ulimit -v 60000; ", {refused, "readyok"}},
    };
    const std::string script = ::testing::TempDir() + "uci-long-lines.txt";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
#ifdef __SANITIZE_ADDRESS__
        if (!row.shell.empty()) continue;  // the address sanitizer needs more than the limit
#endif
        {
            std::ofstream in(script, std::ios::binary);
            in << row.input;
        }
        const CliRun run = runCli("uci < " + script, row.shell);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(outputLines(run.out), row.lines);
    }
    std::remove(script.c_str());
}
