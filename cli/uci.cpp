// uci: the UCI engine protocol on standard input and output, so that any UCI chess program
// can play Norvane. The search runs on a thread of its own while this reader goes on reading:
// isready is answered and stop and quit are obeyed during a search.
#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <memory>
#include <new>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include "cli/commands.h"
#include "cli/common.h"
#include "cli/output.h"
#include "cli/ucioptions.h"
#include "engine/coords.h"
#include "engine/enginesearch.h"
#include "engine/makemove.h"
#include "engine/perft.h"
#include "engine/search.h"
#include "engine/strength.h"
#include "engine/think.h"
#include "records/textout.h"

namespace {

// Moves to spend a clock on when the GUI does not say how many remain.
constexpr long long DefaultMovesToGo = 30;

// The longest command line taken, in bytes without its end; far beyond any position with its
// moves. A longer line is refused, and never held in memory whole.
constexpr std::streamsize MaxUciLine = 1 << 20;

enum class LineRead { Line, TooLong, End };

// Reads the next line of in into line (without its end) through buffer, which holds
// MaxUciLine + 1 bytes. A longer line is skipped to its end and answered TooLong; End once
// the input is used up or cannot be read.
LineRead readBoundedLine(std::istream& in, std::vector<char>& buffer, std::string& line) {
    in.getline(buffer.data(), MaxUciLine + 1);
    std::streamsize length = in.gcount();
    if (in.bad()) return LineRead::End;
    if (in.fail()) {
        // Nothing left to read, or MaxUciLine bytes stored with the line going on.
        if (length < MaxUciLine) return LineRead::End;
        in.clear();
        const int next = in.peek();
        if (next == '\n') {
            in.get();
        } else if (next != std::char_traits<char>::eof()) {
            in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
            return in.bad() ? LineRead::End : LineRead::TooLong;
        }
    } else if (!in.eof()) {
        --length;  // the line end, read but not stored
    }
    line.assign(buffer.data(), static_cast<std::size_t>(length));
    return LineRead::Line;
}

std::mutex outputMutex;

// Writes one line and flushes it; both threads write through here. Output that cannot be
// written ends the process: no one would read the engine's answers.
void say(const std::string& line) {
    std::lock_guard<std::mutex> lock(outputMutex);
    std::cout << line << std::endl;
    if (outputFailed()) std::_Exit(finishOutput(0));
}

// The running search: an EngineSearch on a thread of its own, which writes the info lines as
// its iterations finish and then bestmove. The reader calls settle or stop, which return only
// once that thread has ended, before it changes the position or the settings the next search
// starts from; the search itself works on its own copy of the Board.
class UciSearch {
public:
    UciSearch() = default;
    ~UciSearch() { stop(); }
    UciSearch(const UciSearch&)            = delete;
    UciSearch& operator=(const UciSearch&) = delete;

    // Searches the Board's position under limits and then writes bestmove. An infinite search
    // writes its bestmove only after stop, however soon it has found its move.
    void start(const ThinkLimits& limits, bool infinite) {
        settle();
        m_infinite = infinite;
        m_search   = std::make_unique<EngineSearch>(board, limits, infinite);
        m_thread   = std::thread([this] {
            try {
                const EngineResult result = m_search->run();
                if (m_infinite) m_search->waitForStop();
                char text[8];
                moveToCoords(playableMove(result.move), text);
                say(std::string("bestmove ") + text);
            } catch (const std::bad_alloc&) {
                // The search's tables could not be had: the end main gives out of memory.
                const std::lock_guard<std::mutex> lock(outputMutex);
                std::cout.flush();
                std::_Exit(fail("out of memory"));
            }
        });
    }
    // Ends the running search at its next look at the clock; returns once its bestmove is out.
    void stop() {
        if (!m_thread.joinable()) return;
        m_search->requestStop();
        m_thread.join();
    }
    // Lets a running search end by its own limits, and returns then; an infinite one is
    // stopped, since nothing else would end it.
    void settle() {
        if (m_infinite)
            stop();
        else if (m_thread.joinable())
            m_thread.join();
    }

private:
    std::unique_ptr<EngineSearch> m_search;
    std::thread                   m_thread;
    bool                          m_infinite = false;  // the running search waits for stop
};

// Sets the Board from "startpos|fen FEN... [moves M...]". Stops at the first move that is not
// legal, keeping the position reached so far.
void setPosition(std::istringstream& in) {
    std::string token, fen;
    in >> token;
    if (token == "fen") {
        while (in >> token && token != "moves") fen += (fen.empty() ? "" : " ") + token;
    } else if (token == "startpos") {
        in >> token;
    } else {
        return;
    }
    std::string error;
    if (!startPosition(fen, error)) {
        startPosition("", error);
        return;
    }
    if (token != "moves") return;
    while (in >> token) {
        Move move{};
        if (!coordsToMove(token.c_str(), &move)) return;
        makeMove(move);
    }
}

// Appends the best line of the last finished iteration as far as its moves are legal in turn.
void putPv(TextOut& out) {
    Move line[MaxPly];
    int  made = 0;
    for (int i = 0; i < MaxPly && pvTable[0][i].fromTo != 0; ++i) {
        Move        legal[MaxMovesPerPly];
        const Move* end = genLegalMoves(legal);
        const Move* m   = legal;
        const Move& wanted = pvTable[0][i];
        while (m != end &&
               (m->fromTo != wanted.fromTo || promotionType(*m) != promotionType(wanted)))
            ++m;
        if (m == end) break;
        char text[8];
        moveToCoords(*m, text);
        out.put(' ').put(text);
        makeMove(*m);
        line[made++] = *m;
    }
    while (made > 0) unmakeMove(line[--made]);
}

// One "info" line per finished iteration.
void reportIteration(int depth, int score) {
    char    buffer[1024];
    TextOut out(buffer, sizeof buffer);
    out.put("info depth ").putInt(depth).put(" score ");
    if (score == MateScore)
        out.put("mate ").putInt((depth + 1) / 2);
    else if (score == -MateScore)
        out.put("mate -").putInt(std::max(1, depth / 2));
    else
        out.put("cp ").putInt(score);
    out.put(" nodes ").putInt(static_cast<long long>(searchNodes));
    out.put(" time ").putInt(clockMs() - searchStartMs);
    out.put(" pv");
    putPv(out);
    say(buffer);
}

// Reads "go ..." and starts the search: movetime is honoured as asked; a clock gets a share of
// what is left, at most the desktop's 4 seconds; depth limits the iterations; infinite (and
// ponder) search until stop; anything else runs within the desktop budget.
void go(std::istringstream& in, const UciSettings& settings, UciSearch& search) {
    long long   movetime = -1, time[2] = {-1, -1}, inc[2] = {0, 0}, movesToGo = 0, depth = 0;
    bool        infinite = false;
    std::string token;
    while (in >> token) {
        if (token == "infinite" || token == "ponder") infinite = true;
        long long* field = nullptr;
        if (token == "movetime") field = &movetime;
        else if (token == "wtime") field = &time[White];
        else if (token == "btime") field = &time[Black];
        else if (token == "winc") field = &inc[White];
        else if (token == "binc") field = &inc[Black];
        else if (token == "movestogo") field = &movesToGo;
        else if (token == "depth") field = &depth;
        std::string value;
        if (field && in >> value) {
            long long n = 0;
            if (readNumber(value, 0, 1000000000000LL, n))
                *field = n;
            else if (value.size() > 1 && value[0] == '-' && readNumber(value.substr(1), 0, 1000000000000LL, n))
                *field = 0;  // a clock already past zero: move at once
        }
    }

    const int   side   = board.sideToMove;
    ThinkLimits limits = DesktopLimits;
    limits.iterationDone = reportIteration;
    applyUciSettings(settings, limits);
    // An infinite search has no time limits: EngineSearch lifts them.
    if (movetime >= 0) {
        limits.hardLimitMs = std::max(1LL, movetime);
        limits.softLimitMs = limits.hardLimitMs;
    } else if (time[side] >= 0) {
        const long long movesLeft =
            movesToGo > 0 ? std::min(movesToGo, DefaultMovesToGo) : DefaultMovesToGo;
        long long share = time[side] / movesLeft + inc[side] * 3 / 4;
        share = std::min({share, time[side] / 2, static_cast<long long>(HardTimeLimitMs)});
        limits.hardLimitMs = std::max(1LL, share);
        limits.softLimitMs = limits.hardLimitMs / 2;
    }
    if (depth > 0) {
        limits.maxDepth = static_cast<int>(std::min<long long>(depth, MaxSearchDepth));
        if (movetime < 0 && time[side] < 0) limits.softLimitMs = NoTimeLimit;
    }
    search.start(limits, infinite);
}

}  // namespace

int runUci(const Arguments& args) {
    if (!args.empty()) return usageError("uci", "takes no arguments");
    useBookBesideProgram();
    std::string line, error;
    startPosition("", error);
    UciSettings       settings;
    UciSearch         search;
    std::vector<char> buffer(static_cast<std::size_t>(MaxUciLine) + 1);
    strengthRandom = static_cast<std::uint64_t>(clockMs());  // the weaker levels' choices
    // Only isready, stop and quit are taken while a search runs; every other command first
    // waits for it to end (an infinite search is stopped), since it touches the engine.
    for (LineRead read; (read = readBoundedLine(std::cin, buffer, line)) != LineRead::End;) {
        if (read == LineRead::TooLong) {
            say("info string line longer than " + std::to_string(MaxUciLine) +
                " bytes ignored");
            continue;
        }
        std::istringstream in(line);
        std::string        command;
        in >> command;
        if (command == "isready") {
            say("readyok");
        } else if (command == "stop") {
            search.stop();
        } else if (command == "quit") {
            break;
        } else if (command == "uci") {
            say("id name Norvane");
            say("id author the Norvane developers");
            listUciOptions(say);
            say("uciok");
        } else if (command == "ucinewgame") {
            search.settle();
            startPosition("", error);
        } else if (command == "position") {
            search.settle();
            setPosition(in);
        } else if (command == "go") {
            search.settle();
            go(in, settings, search);
        } else if (command == "setoption") {
            search.settle();
            std::string words;
            std::getline(in, words);
            if (!setUciOption(words, settings)) say("info string unknown option or value:" + words);
        }
    }
    // quit ends a search at once; at the end of the input a search with limits may finish.
    const bool unreadable = std::cin.bad();
    if (std::cin.eof() && !unreadable) search.settle();
    search.stop();
    return unreadable ? fail("uci: cannot read standard input") : 0;
}
