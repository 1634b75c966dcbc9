// uci: the UCI engine protocol on standard input and output, so that any UCI chess program
// can play Norvane. The search runs synchronously: commands that arrive while it thinks are
// read after its bestmove.
#include <algorithm>
#include <iostream>
#include <sstream>

#include "cli/commands.h"
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
    std::cout << buffer << std::endl;
}

// Reads "go ..." and searches: movetime is honoured as asked; a clock gets a share of what is
// left, at most the desktop's 4 seconds; depth limits the iterations; anything else (infinite
// included) runs within the desktop budget.
void go(std::istringstream& in) {
    long long   movetime = -1, time[2] = {-1, -1}, inc[2] = {0, 0}, movesToGo = 0, depth = 0;
    std::string token;
    while (in >> token) {
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

    Move chosen{};
    thinkMove(side, &chosen, limits);
    const Move move = playableMove(chosen);
    char       text[8];
    moveToCoords(move, text);
    std::cout << "bestmove " << text << std::endl;
}

// The strength options: UCI_LimitStrength with UCI_Elo, or else Skill Level, choose the
// engine's playingStrength.
struct StrengthOptions {
    bool limitStrength = false;
    int  elo           = strengthLevels[FullStrength].elo;
    int  skill         = 20;
};

void declareStrengthOptions() {
    std::cout << "option name UCI_LimitStrength type check default false\n"
              << "option name UCI_Elo type spin default " << strengthLevels[FullStrength].elo
              << " min " << strengthLevels[BeginnerStrength].elo << " max "
              << strengthLevels[FullStrength].elo << "\n"
              << "option name Skill Level type spin default 20 min 0 max 20\n";
}

// Reads "name NAME... value VALUE"; unknown options and unreadable values change nothing.
void setStrengthOption(std::istringstream& in, StrengthOptions& options) {
    std::string token, name, value;
    in >> token;
    while (in >> token && token != "value") name += (name.empty() ? "" : " ") + token;
    in >> value;
    long long number = 0;
    if (name == "UCI_LimitStrength")
        options.limitStrength = value == "true";
    else if (name == "UCI_Elo" && readNumber(value, 0, 100000, number))
        options.elo = static_cast<int>(number);
    else if (name == "Skill Level" && readNumber(value, 0, 20, number))
        options.skill = static_cast<int>(number);
    playingStrength = options.limitStrength ? levelForElo(options.elo) : levelForSkill(options.skill);
    strengthRandom  = static_cast<std::uint64_t>(clockMs());
}

}  // namespace

int runUci(const Arguments& args) {
    if (!args.empty()) return fail("uci: takes no arguments");
    useBookBesideProgram();
    std::string line, error;
    startPosition("", error);
    StrengthOptions strength;
    while (std::getline(std::cin, line)) {
        std::istringstream in(line);
        std::string        command;
        in >> command;
        if (command == "uci") {
            std::cout << "id name Norvane\nid author the Norvane developers\n";
            declareStrengthOptions();
            std::cout << "uciok" << std::endl;
        } else if (command == "isready") {
            std::cout << "readyok" << std::endl;
        } else if (command == "ucinewgame") {
            startPosition("", error);
        } else if (command == "position") {
            setPosition(in);
        } else if (command == "go") {
            go(in);
        } else if (command == "setoption") {
            setStrengthOption(in, strength);
        } else if (command == "quit") {
            break;
        }
    }
    return 0;
}
