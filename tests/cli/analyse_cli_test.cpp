// analyse: one search by a UCI engine run as a child process. Mate-in-two positions with the
// built-in engine and with Stockfish (when installed); small shell-script engines for what it
// sends and for the ways an engine goes wrong, each of which must leave no process behind.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>

#include "cli_run.h"

namespace {

const char* const Stockfish = "/usr/games/stockfish";

bool haveStockfish() { return access(Stockfish, X_OK) == 0; }

// A folder for this test process's scripts, removed when the process ends.
struct ScriptFolder {
    ScriptFolder() {
        std::string pattern = ::testing::TempDir() + "norvane-analyse-XXXXXX";
        if (mkdtemp(pattern.data())) path = pattern;
    }
    ~ScriptFolder() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

std::string scriptFolder() {
    static ScriptFolder folder;
    return folder.path;
}

// A shell script in the scripts' folder, made executable.
std::string writeScript(const std::string& name, const std::string& body) {
    const std::string path = scriptFolder() + "/" + name;
    std::ofstream(path) << "#!/bin/sh\n" << body;
    chmod(path.c_str(), 0755);
    return path;
}

// An engine that answers uci (with options) and isready, writes every command it reads to a
// log beside it, and on go does what onGo says.
std::string scriptedEngine(const std::string& name, const std::string& options,
                           const std::string& onGo) {
    const std::string log = scriptFolder() + "/" + name + ".log";
    return writeScript(name, "while read cmd; do echo \"$cmd\" >> '" + log +
                                 "'; case \"$cmd\" in\n"
                                 "uci) echo 'id name Scripted'; " +
                                 options +
                                 " echo uciok;;\n"
                                 "isready) echo readyok;;\n"
                                 "go*) " +
                                 onGo +
                                 ";;\n"
                                 "quit) exit 0;;\n"
                                 "esac; done\n");
}

// True when the process is gone, or ended and waiting only to be reaped by whoever adopted it.
bool processGone(pid_t pid) {
    if (kill(pid, 0) != 0) return errno == ESRCH;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string   number, name, state;
    stat >> number >> name >> state;
    return state == "Z" || state == "X";
}

// Waits for a process that has been sent SIGKILL to end: the signal is taken when the process
// next runs, which on a busy machine is a little later. Bounded only to catch one left alive.
bool endsSoon(pid_t pid) {
    for (int waited = 0; waited < 20000; waited += 10) {
        if (processGone(pid)) return true;
        usleep(10000);
    }
    return false;
}

struct MateInTwo {
    const char* name;
    const char* position; // analyse's arguments naming it
    const char* firstSan;
    const char* bestmove;
};

// Classic mates in two, each with one first move that mates in two.
const MateInTwo MatesInTwo[] = {
    // Philidor's legacy: the queen sacrificed on g8, the knight mating smothered on f7.
    {"smothered", "--fen '4r2k/6pp/7N/3Q4/8/8/8/6K1 w - - 0 1'", "Qg8+", "d5g8"},
    // Legal de Kermur against Saint Brie, Paris 1750: the queen given up, Bxf7+ and Nd5#.
    {"legal", "e4 e5 Nf3 d6 Bc4 Bg4 Nc3 g6 Nxe5 Bxd1", "Bxf7+", "c4f7"},
    // The back rank, Black to move: the queen takes the rook, the rook mates.
    {"back rank", "--fen '3r2k1/5ppp/8/3q4/8/8/2Q2PPP/3R2K1 b - - 0 1'", "Qxd1+", "d5d1"},
};

// The first "multipv 1 ..." line of an analysis.
std::string firstLine(const std::string& out) {
    for (const std::string& line : outputLines(out))
        if (line.rfind("multipv 1 ", 0) == 0) return line;
    return "";
}

std::vector<std::string> splitWords(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream       in(text);
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

// The moves after " pv " in a line.
std::vector<std::string> pvOf(const std::string& line) {
    const std::size_t at = line.find(" pv");
    return at == std::string::npos ? std::vector<std::string>{} : splitWords(line.substr(at + 3));
}

} // namespace

// Both engines give the mate with its real distance, its line to the mate and its first move.
TEST(CliAnalyse, EnginesFindTheMatesInTwo) {
    struct Engine {
        const char* arguments;
        bool        needsStockfish;
    };
    const Engine engines[] = {{"analyse --depth 5 ", false},
                              {"analyse --engine stockfish --depth 16 ", true}};
    for (const Engine& engine : engines) {
        if (engine.needsStockfish && !haveStockfish()) continue;
        for (const MateInTwo& mate : MatesInTwo) {
            SCOPED_TRACE(std::string(engine.arguments) + mate.name);
            const CliRun run = runCli(engine.arguments + std::string(mate.position));
            ASSERT_EQ(run.status, 0) << run.err;
            const std::string line = firstLine(run.out);
            EXPECT_EQ(line.rfind("multipv 1 score mate 2 depth ", 0), 0u) << line;
            ASSERT_EQ(pvOf(line).size(), 3u) << line;
            EXPECT_EQ(pvOf(line)[0], mate.firstSan);
            EXPECT_EQ(pvOf(line)[2].back(), '#') << line;
            EXPECT_EQ(lastLine(run.out), std::string("bestmove ") + mate.bestmove);
        }
    }
}

TEST(CliAnalyse, StockfishGivesSeveralLinesBestFirst) {
    if (!haveStockfish()) GTEST_SKIP() << Stockfish << " is not installed";
    const CliRun run = runCli("analyse --engine /usr/games/stockfish --multipv 3 --depth 12 e4");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = outputLines(run.out);
    ASSERT_EQ(lines.size(), 4u) << run.out;
    std::set<std::string> firstMoves;
    int                   previous = 1 << 30;
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(lines[i]);
        const std::string prefix = "multipv " + std::to_string(i + 1) + " score cp ";
        ASSERT_EQ(lines[i].rfind(prefix, 0), 0u);
        const int score = std::stoi(lines[i].substr(prefix.size()));
        EXPECT_LE(score, previous);
        previous = score;
        ASSERT_FALSE(pvOf(lines[i]).empty());
        firstMoves.insert(pvOf(lines[i])[0]);
    }
    EXPECT_EQ(firstMoves.size(), 3u);
    // Black's moves in SAN, and the engine's move as it gave it, in coordinates.
    EXPECT_TRUE(firstMoves.count("c5") || firstMoves.count("e5")) << run.out;
    EXPECT_EQ(lines[3].rfind("bestmove ", 0), 0u);
    EXPECT_EQ(lines[3].size(), std::string("bestmove c7c5").size());
}

TEST(CliAnalyse, AMatedSideHasNoBestMove) {
    const std::string        mated   = "--fen '7k/6Q1/6K1/8/8/8/8/8 b - - 0 1'";
    std::vector<std::string> engines = {""}; // the built-in engine says 0000
    if (haveStockfish()) engines.push_back(std::string("--engine ") + Stockfish); // (none)
    for (const std::string& engine : engines) {
        SCOPED_TRACE(engine);
        const CliRun run = runCli("analyse --depth 3 " + engine + " " + mated);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(lastLine(run.out), "bestmove (none)");
    }
}

// What goes to the engine, in order, and how its lines come out: the user's settings as the
// engine spells its options, those an analysis wants, the position as a FEN with the moves in
// coordinates, the one limit; scores with their bounds, lines in SAN, best first.
TEST(CliAnalyse, SendsTheSessionAndWritesTheLines) {
    const std::string options =
        "echo 'option name Hash type spin default 16 min 1 max 64';"
        "echo 'option name OwnBook type check default true';"
        "echo 'option name MultiPV type spin default 1 min 1 max 8';"
        "echo 'option name Clear Hash type button';"
        "echo 'option name Style type combo default Normal var Solid var Normal var Risky';";
    const std::string onGo =
        "echo 'info depth 7 seldepth 9 multipv 2 score cp -12 upperbound nodes 500 pv d7d5 e4d5'; "
        "echo 'info depth 7 multipv 1 score cp 31 lowerbound nodes 900 pv e7e5 g1f3 b8c6'; "
        "echo 'info depth 7 currmove e7e5 currmovenumber 1'; "
        "echo 'bestmove e7e5 ponder g1f3'";
    const std::string engine = scriptedEngine("transcript", options, onGo);
    const CliRun      run    = runCli("analyse --engine " + engine +
                                      " e4 --multipv 2 --depth 7 --option hash=32"
                                              " --option 'clear hash' --option style=risky");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "multipv 1 score cp 31 lowerbound depth 7 pv e5 Nf3 Nc6\n"
                       "multipv 2 score cp -12 upperbound depth 7 pv d5 exd5\n"
                       "bestmove e7e5\n");
    EXPECT_EQ(readFile(engine + ".log"),
              "uci\n"
              "setoption name Hash value 32\n"
              "setoption name Clear Hash\n"
              "setoption name Style value Risky\n"
              "setoption name OwnBook value false\n"
              "setoption name MultiPV value 2\n"
              "isready\n"
              "ucinewgame\n"
              "position fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1 moves e2e4\n"
              "go depth 7\n"
              "quit\n");
}

// Arguments refused before any engine starts: the engine would leave a mark if it ran.
TEST(CliAnalyse, RefusesBadArgumentsBeforeStartingTheEngine) {
    const std::string mark    = scriptFolder() + "/started";
    const std::string engine  = writeScript("marking", "touch '" + mark + "'\nexit 0\n");
    const char* const cases[] = {
        "--fen 'not a fen'",
        "e2e5",
        "e4 e5 Ke3",
        "--depth 3 --movetime 100",
        "--depth 0",
        "--nodes x",
        "--multipv 0",
        "--option =3",
        "--multipv 2 --option MultiPV=3",
        "--frobnicate",
    };
    for (const char* arguments : cases) {
        SCOPED_TRACE(arguments);
        expectRefused("analyse --engine " + engine + " " + arguments);
        EXPECT_FALSE(std::filesystem::exists(mark));
    }
}

// Each failure is one line on standard error, status 2, nothing on standard output, and no
// process left: each script starts a helper in its own group and writes its number down, and
// the helper must be gone when analyse has ended.
TEST(CliAnalyse, EnginesThatFailAreReportedAndStopped) {
    // The helper keeps none of the engine's pipes open, so that the engine's end is seen.
    const std::string helper = "sleep 600 </dev/null >/dev/null 2>&1 & echo $! > \"$0.pid\"\n";
    const std::string plain  = "echo 'option name Hash type spin default 16 min 1 max 64';";
    struct Case {
        const char* name;
        std::string engine;    // the --engine argument
        std::string arguments; // more arguments
        std::string message;   // a part of the one line on standard error
    };
    const std::vector<Case> cases = {
        {"no such name", "no-such-engine-anywhere", "", "no engine program \"no-such-engine"},
        {"no such file", scriptFolder() + "/missing", "", "cannot start engine"},
        {"exits at once", writeScript("exits", helper + "exit 3\n"), "",
         "ended before answering uci (exit status 3)"},
        {"writes garbage", writeScript("garbage", helper + "read cmd; yes 'what is this'\n"), "",
         "wrote only lines that are not UCI, the last \"what is this\""},
        {"writes binary", writeScript("binary", helper + "read cmd; printf 'id\\001\\n'; wait\n"),
         "", "wrote a line that is not text"},
        {"writes a huge line",
         writeScript("huge", helper + "read cmd; head -c 2000000 /dev/zero | tr '\\0' x; wait\n"),
         "", "wrote a line longer than 1048576 bytes"},
        {"dies in the search",
         writeScript("dies", helper +
                                 "while read cmd; do case \"$cmd\" in\n"
                                 "uci) echo uciok;; isready) echo readyok;;\n"
                                 "go*) echo 'info depth 1 score cp 3 pv e2e4'; kill -SEGV $$;;\n"
                                 "esac; done\n"),
         "", "ended during the search (killed by signal 11"},
        {"no such option", scriptedEngine("plain1", helper + plain, "echo 'bestmove e2e4'"),
         "--option Threads=2", "has no option \"Threads\""},
        {"spin out of range", scriptedEngine("plain2", helper + plain, "echo 'bestmove e2e4'"),
         "--option Hash=65", "option \"Hash\" takes a whole number from 1 to 64"},
        {"no MultiPV", scriptedEngine("plain3", helper + plain, "echo 'bestmove e2e4'"),
         "--multipv 2", "has no MultiPV option"},
        // The one case that waits out a timeout, the handshake's 5 seconds.
        {"never answers", writeScript("silent", helper + "wait\n"), "",
         "did not answer uci within 5 seconds"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun run = runCli("analyse --engine '" + c.engine + "' " + c.arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(outputLines(run.err).size(), 1u) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        const std::string pidFile = c.engine + ".pid";
        if (std::filesystem::exists(pidFile)) {
            const pid_t pid = std::stoi(readFile(pidFile));
            EXPECT_TRUE(endsSoon(pid)) << "left running: " << pid;
            kill(pid, SIGKILL);
        }
    }
}
