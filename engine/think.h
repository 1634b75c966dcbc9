// The engine's choice of a move: the opening book first, otherwise iterative deepening of the
// alpha-beta search under a time budget.
#pragma once

#include <cstdint>

#include "engine/board.h"
#include "engine/search.h"

// The desktop budget. The hard limit stops a running iteration through the clock poll; after
// the soft limit no new iteration starts once one of depth 3 or more has finished.
inline constexpr std::int64_t HardTimeLimitMs  = 4000;
inline constexpr std::int64_t SoftTimeLimitMs  = 2000;
inline constexpr int          SoftStopMinDepth = 3;
inline constexpr int          MaxSearchDepth   = 31;
// A limit the clock never reaches.
inline constexpr std::int64_t NoTimeLimit = INT64_MAX;

// Milliseconds of a monotonic clock; only differences mean anything.
std::int64_t clockMs();

// The most lines one search gives (its best move, the best of the rest, and so on).
inline constexpr int MaxSearchLines = 16;

// How one call of thinkMove may spend its time, and what an analysis asks besides. The
// fields after iterationDone have defaults that leave the search as it is.
struct ThinkLimits {
    std::int64_t hardLimitMs;  // stop the search at this age (NoTimeLimit: never)
    std::int64_t softLimitMs;  // no new iteration past this age once depth 3 is done
    int          maxDepth;     // the last iteration, 1 to 31
    bool         useBook;      // ask probeBook first
    // Told after each finished iteration, with its depth and score; may be null. Runs on
    // the searching thread, whose search state (pvTable, searchNodes, searchLines) it may read.
    void (*iterationDone)(int depth, int score);
    // Stop at the clock poll that finds this many nodes visited (the poll is placed on it).
    std::uint64_t maxNodes = UINT64_MAX;
    // When above 0, end as soon as an iteration finds a mate in at most this many moves.
    int mateMoves = 0;
    // Lines per iteration, 1 to MaxSearchLines: line k searches the root moves other than the
    // first moves of lines 1 to k-1. With one line and no searchMoves the search is the plain one.
    int lines = 1;
    // The only root moves to search (searchMoveCount of them), or null for all; moves that are
    // not legal are passed over, and when none is legal every move is searched.
    const Move* searchMoves     = nullptr;
    int         searchMoveCount = 0;
    // Told each legal root move before it is searched, with its number in the iteration; may
    // be null. Runs on the searching thread, at the root, with the move made on the Board.
    void (*rootMoveStarted)(const Move& move, int number) = nullptr;
};

inline constexpr ThinkLimits DesktopLimits = {HardTimeLimitMs, SoftTimeLimitMs, MaxSearchDepth,
                                              true, nullptr};

// Chooses a move for side, the colour to move on the Board, within the desktop budget, at
// playingStrength (engine/strength.h); at full strength it is searchBestMove.
// Answers the score from side's view: 0 for a book move; -32767 when side is checkmated (out
// all zero) or every move loses to a mate the search sees (the engine gives up). Otherwise
// out holds a legal move, unless side has none at all: then out is all zero and the answer 0.
// The Board is unchanged on return.
int thinkMove(int side, Move* out);
// The same under other limits: the command-line companion and the tests.
int thinkMove(int side, Move* out, const ThinkLimits& limits);
// The full-strength choice under limits: the book, then iterative deepening.
int searchBestMove(int side, Move* out, const ThinkLimits& limits);

// One line of the last finished iteration, best first: its score from the side to move's
// view, its moves (a record whose fromTo is 0 ends them), and for a mate score the moves to
// the mate (above 0: the side to move mates; below 0: it is mated; 0 for any other score).
// A line whose mate the search saw ends in the checkmate when its moves and the
// transposition table lead there.
struct SearchLine {
    int  score;
    int  mateMoves;
    Move pv[MaxPly + 1];
};
extern thread_local constinit SearchLine searchLines[MaxSearchLines];
extern thread_local constinit int        searchLineCount;

// For the clock poll of a ponder search (ponderHitSignal, engine/search.h): once the ponderhit
// has come, the search takes the caller's limits, its time counted from the hit; it ends at
// once when it has gone deeper than their depth.
void takePonderHit();

// What the last thinkMove of this thread did: the depth of its last finished iteration (0 when
// none finished or the move came from the book), and whether the book answered.
extern thread_local constinit int  thinkDepth;
extern thread_local constinit bool thinkFromBook;
