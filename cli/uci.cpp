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
#include "engine/hash.h"
#include "engine/makemove.h"
#include "engine/perft.h"
#include "engine/search.h"
#include "engine/attacks.h"
#include "engine/strength.h"
#include "engine/think.h"
#include "engine/timemanager.h"
#include "records/textout.h"

namespace {

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

// How a search ends: by its limits, only by stop (infinite), or by its limits once ponderhit
// has come (ponder; stop ends it too).
enum class SearchMode { Limited, Infinite, Ponder };

// What the search of one go works with besides its limits, read from the position command and
// the go.
struct SearchInput {
    std::vector<std::uint64_t> history;      // the game's earlier positions (setPosition)
    std::vector<Move>          searchMoves;  // empty: all
};

// The clock time of the running go, for its info lines (the search's own start moves to the
// ponderhit). Written before the search thread starts, read on it.
std::int64_t goStartMs = 0;
// The depth of the iteration the search is in, for the currmove lines; the search thread's.
int currentDepth = 1;

// Appends " WORD MOVE..." of line as far as its moves are legal in turn; answers how many.
int putLine(TextOut& out, const Move* line, const char* word) {
    Move played[MaxPly];
    int  made = 0;
    for (int i = 0; i < MaxPly && line[i].fromTo != 0; ++i) {
        Move        legal[MaxMovesPerPly];
        const Move* end = genLegalMoves(legal);
        const Move* m   = legal;
        while (m != end && (m->fromTo != line[i].fromTo || promotionType(*m) != promotionType(line[i])))
            ++m;
        if (m == end) break;
        char text[8];
        moveToCoords(*m, text);
        if (made == 0) out.put(' ').put(word);
        out.put(' ').put(text);
        makeMove(*m);
        played[made++] = *m;
    }
    for (int i = made; i > 0; --i) unmakeMove(played[i - 1]);
    return made;
}

// The bestmove line for move; with the reply the search expects when its best line starts
// with move and goes on.
std::string bestMoveLine(const Move& move) {
    char text[8];
    moveToCoords(move, text);
    std::string answer = std::string("bestmove ") + text;
    if (move.fromTo != 0 && searchLineCount > 0 && searchLines[0].pv[0].fromTo == move.fromTo &&
        searchLines[0].pv[1].fromTo != 0) {
        char    buffer[64];
        TextOut out(buffer, sizeof buffer);
        makeMove(move);
        Move reply[2] = {searchLines[0].pv[1], Move{}};
        if (putLine(out, reply, "ponder") == 1) answer += buffer;
        unmakeMove(move);
    }
    return answer;
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
    // writes its bestmove only after stop, however soon it has found its move; a ponder search
    // only after ponderhit or stop. A position without a legal move is not searched.
    void start(const ThinkLimits& limits, SearchMode mode, SearchInput input) {
        settle();
        m_mode = mode;
        EngineSearch::Think think;
        Move legal[MaxMovesPerPly];
        if (genLegalMoves(legal) == legal) {
            const int side = board.sideToMove;
            say(isAttacked(board.kingSquare[side], side ^ 1) ? "info depth 0 score mate 0"
                                                             : "info depth 0 score cp 0");
            think = [](int, Move* out, const ThinkLimits&) {
                *out = Move{};
                return 0;
            };
        }
        m_search = std::make_unique<EngineSearch>(board, limits, mode == SearchMode::Infinite,
                                                  std::move(think));
        m_search->setGameHistory(std::move(input.history));
        m_search->setSearchMoves(std::move(input.searchMoves));
        if (mode == SearchMode::Ponder) m_search->setPondering();
        m_thread = std::thread([this, mode] {
            try {
                const EngineResult result = m_search->run();
                if (mode == SearchMode::Infinite) m_search->waitForStop();
                if (mode == SearchMode::Ponder) m_search->waitForPonderEnd();
                say(bestMoveLine(playableMove(result.move)));
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
    // The ponder search becomes a search under its go's limits.
    void ponderHit() {
        if (!m_thread.joinable() || m_mode != SearchMode::Ponder) return;
        m_mode = SearchMode::Limited;
        m_search->ponderHit();
    }
    // Lets a running search end by its own limits, and returns then; an infinite or pondering
    // one is stopped, since nothing else would end it.
    void settle() {
        if (m_mode != SearchMode::Limited)
            stop();
        else if (m_thread.joinable())
            m_thread.join();
    }

private:
    std::unique_ptr<EngineSearch> m_search;
    std::thread                   m_thread;
    SearchMode                    m_mode = SearchMode::Limited;  // the reader's view of it
};

// Sets the Board from "startpos|fen FEN... [moves M...]", and history to the keys of the
// positions the moves passed through since the last pawn move or capture (the position
// reached not included). Stops at the first move that is not legal, keeping the position
// reached so far.
void setPosition(std::istringstream& in, std::vector<std::uint64_t>& history) {
    history.clear();
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
        if (move.piece == Pawn || capturedType(move) != NoPiece)
            history.clear();
        else
            history.push_back(board.hashKey);
        makeMove(move);
    }
}

// The info lines of a finished iteration, one per line of the search, best first.
void reportIteration(int depth, int) {
    const std::int64_t  elapsed = std::max<std::int64_t>(0, clockMs() - goStartMs);
    const long long     nodes   = static_cast<long long>(searchNodes);
    const int           full    = hashFullPerMille();
    for (int k = 0; k < searchLineCount; ++k) {
        const SearchLine& line = searchLines[k];
        char              buffer[1024];
        TextOut           out(buffer, sizeof buffer);
        out.put("info depth ").putInt(depth);
        out.put(" seldepth ").putInt(std::max(depth, selDepthReached));
        out.put(" multipv ").putInt(k + 1).put(" score ");
        if (line.score == MateScore || line.score == -MateScore)
            out.put("mate ").putInt(line.mateMoves);
        else
            out.put("cp ").putInt(line.score);
        out.put(" nodes ").putInt(nodes);
        out.put(" nps ").putInt(elapsed > 0 ? nodes * 1000 / elapsed : nodes);
        out.put(" hashfull ").putInt(full);
        out.put(" time ").putInt(elapsed);
        putLine(out, line.pv, "pv");
        say(buffer);
    }
    currentDepth = depth + 1;
}

// The root move being searched, once a second has passed since go: a fast search says
// nothing of its root moves.
void reportRootMove(const Move& move, int number) {
    if (clockMs() - goStartMs < 1000) return;
    char    text[8];
    char    buffer[128];
    TextOut out(buffer, sizeof buffer);
    moveToCoords(move, text);
    out.put("info depth ").putInt(currentDepth).put(" currmove ").put(text);
    out.put(" currmovenumber ").putInt(number);
    say(buffer);
}

// Reads "go ...". movetime is honoured as asked; a clock gets a share of what is left plus most
// of the increment, never all of it (clockBudget, engine/timemanager.h); depth limits the
// iterations, nodes the nodes (at a clock poll placed on the count), mate N ends at a mate in N moves or less (by depth 2N-1 at the latest),
// and none of these three has a time limit of its own; searchmoves names the only root moves
// searched; infinite searches until stop, ponder until ponderhit and then under its limits;
// with nothing given the search runs within the desktop budget.
void go(std::istringstream& in, const UciSettings& settings, UciSearch& search,
        std::vector<std::uint64_t> history) {
    long long   movetime = -1, time[2] = {-1, -1}, inc[2] = {0, 0}, movesToGo = 0, depth = 0;
    long long   nodes = 0, mate = 0;
    SearchMode  mode  = SearchMode::Limited;
    SearchInput input;
    input.history = std::move(history);
    bool        readingMoves = false;
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
        else if (token == "nodes") field = &nodes;
        else if (token == "mate") field = &mate;
        if (field || token == "infinite" || token == "ponder" || token == "searchmoves")
            readingMoves = token == "searchmoves";
        if (token == "infinite") mode = SearchMode::Infinite;
        if (token == "ponder" && mode == SearchMode::Limited) mode = SearchMode::Ponder;
        Move move{};
        if (readingMoves && coordsToMove(token.c_str(), &move)) input.searchMoves.push_back(move);
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
    limits.iterationDone   = reportIteration;
    limits.rootMoveStarted = reportRootMove;
    applyUciSettings(settings, limits);
    // An infinite search has no time limits: EngineSearch lifts them.
    if (movetime >= 0) {
        limits.hardLimitMs = std::max(1LL, movetime);
        limits.softLimitMs = limits.hardLimitMs;
    } else if (time[side] >= 0) {
        const ClockBudget budget = clockBudget(time[side], inc[side],
                                               static_cast<int>(std::min(movesToGo, 1000LL)));
        limits.hardLimitMs = budget.hardLimitMs;
        limits.softLimitMs = budget.softLimitMs;
    } else if (depth > 0 || nodes > 0 || mate > 0) {
        limits.hardLimitMs = NoTimeLimit;
        limits.softLimitMs = NoTimeLimit;
    }
    if (depth > 0) limits.maxDepth = static_cast<int>(std::min<long long>(depth, MaxSearchDepth));
    if (nodes > 0) limits.maxNodes = static_cast<std::uint64_t>(nodes);
    if (mate > 0) {
        limits.mateMoves = static_cast<int>(std::min<long long>(mate, MaxSearchDepth));
        limits.maxDepth  = std::min(limits.maxDepth, 2 * limits.mateMoves - 1);
    }
    // The book knows one move: not the answer to a mate search or to several lines or moves.
    if (mate > 0 || limits.lines > 1 || !input.searchMoves.empty()) limits.useBook = false;
    goStartMs    = clockMs();
    currentDepth = 1;
    search.start(limits, mode, std::move(input));
}

}  // namespace

int runUci(const Arguments& args) {
    if (!args.empty()) return usageError("uci", "takes no arguments");
    useBookBesideProgram();
    std::string line, error;
    startPosition("", error);
    UciSettings       settings;
    UciSearch         search;
    std::vector<std::uint64_t> history;  // of the position set last
    std::vector<char> buffer(static_cast<std::size_t>(MaxUciLine) + 1);
    strengthRandom = static_cast<std::uint64_t>(clockMs());  // the weaker levels' choices
    // Only isready, stop, ponderhit and quit are taken while a search runs; every other command first
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
        } else if (command == "ponderhit") {
            search.ponderHit();
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
            history.clear();
        } else if (command == "position") {
            search.settle();
            setPosition(in, history);
        } else if (command == "go") {
            search.settle();
            go(in, settings, search, history);
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
