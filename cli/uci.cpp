// uci: the UCI engine protocol on standard input and output, so that any UCI chess program
// can play Norvane. The search runs on a thread of its own (ucisearch.h) while this reader
// goes on reading: isready is answered and stop and quit are obeyed during a search.
#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <sstream>

#include "cli/commands.h"
#include "cli/output.h"
#include "cli/ucioptions.h"
#include "cli/ucisearch.h"
#include "engine/coords.h"
#include "engine/makemove.h"
#include "engine/perft.h"
#include "engine/search.h"
#include "engine/strength.h"
#include "engine/think.h"
#include "records/textout.h"

namespace {

// Moves to spend a clock on when the GUI does not say how many remain.
constexpr long long DefaultMovesToGo = 30;

std::mutex outputMutex;

// Writes one line and flushes it; both threads write through here. Output that cannot be
// written ends the process: no one would read the engine's answers.
void say(const std::string& line) {
    std::lock_guard<std::mutex> lock(outputMutex);
    std::cout << line << std::endl;
    if (outputFailed()) std::_Exit(finishOutput(0));
}

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
    if (infinite) {
        limits.hardLimitMs = NoTimeLimit;
        limits.softLimitMs = NoTimeLimit;
    } else if (movetime >= 0) {
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
    UciSettings settings;
    UciSearch   search(say);
    strengthRandom = static_cast<std::uint64_t>(clockMs());  // the weaker levels' choices
    // Only isready, stop and quit are taken while a search runs; every other command first
    // waits for it to end (an infinite search is stopped), since it touches the engine.
    while (std::getline(std::cin, line)) {
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
    if (std::cin.eof() && !std::cin.bad())
        search.settle();
    search.stop();
    return 0;
}
