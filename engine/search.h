// The alpha-beta search below the root: full-width nodes, the capture search at the leaves,
// the staged move picker, and the per-ply state they share. Everything works on the thread's
// Board through makeMove/unmakeMove and leaves it as it found it.
//
// The per-ply state and the search control below belong to the thread, as the Board does: a
// search on a worker and the SAN and mate checks of another thread (mateStatus writes the
// current ply's move list) never touch each other's. constinit: none is dynamically
// initialised, so each is reached by one thread-pointer-relative address, as a global is.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/board.h"

inline constexpr int MaxPly          = 32;
inline constexpr int MaxMovesPerPly  = 512;
// The score of the side that is mated, negated for the side that mates; the same at any
// distance. Every other score lies strictly between.
inline constexpr int MateScore       = 32767;

// Picker stages, one bit each. Not in check a node runs HashMove (when it has one), Captures,
// Killer, Quiet, Done; in check Evasions, Done.
inline constexpr int HashMove = 1, Killer = 2, Captures = 4, Quiet = 8, Evasions = 16, Done = 64;

// One list of up to 512 moves per ply; any position's pseudo-legal moves fit in one, with the
// hash-move and killer records besides.
extern thread_local constinit Move  moveStack[MaxPly][MaxMovesPerPly];
// End of the records generated so far at each ply.
extern thread_local constinit Move* moveListEnd[MaxPly];
// The current ply, 0 at the root and outside the search.
extern thread_local constinit int   searchPly;
// The record nextMove last returned at each ply; null before the first.
extern thread_local constinit Move* pickerCurrent[MaxPly];
// The picker stage of each ply.
extern thread_local constinit int   pickerPhase[MaxPly];
// Plies since the last pawn move or capture on the current line, counted from the root.
extern thread_local constinit int   reversibleCount[MaxPly];
// hashKey of the position at each ply of the current line.
extern thread_local constinit std::uint64_t pathKeys[MaxPly];
// Best line found from each ply; a record whose fromTo is 0 ends it. pvTable[0][0] is the
// root's choice.
extern thread_local constinit Move  pvTable[MaxPly][MaxPly + 1];

// Search control, set by the root before each search.
extern thread_local constinit int          stopSearch;     // 1 once the time limit was found exceeded
extern thread_local constinit int          pollCountdown;  // nodes left until the next look at the clock
extern thread_local constinit std::int64_t timeLimitMs;    // the hard limit, measured from searchStartMs
extern thread_local constinit std::int64_t searchStartMs;  // clockMs when the search began
// The stop request of the searches this thread runs, or null when nothing but their clock
// stops them. Another thread sets the atomic to end the running search at its next clock poll,
// as if its time had run out; the search never clears it. Set through StopSignalScope by the
// object that runs the search (engine/enginesearch.h), so a stop sent to one search never
// reaches another.
extern thread_local constinit const std::atomic<bool>* stopSignal;
// Nodes visited since the root last reset it, full-width and capture-search nodes alike.
extern thread_local constinit std::uint64_t searchNodes;
// The search stops at the clock poll that finds searchNodes at this count (NoNodeLimit: never).
// pollCountdown is shortened so that a poll lands on it.
extern thread_local constinit std::uint64_t nodeLimit;
inline constexpr std::uint64_t NoNodeLimit = UINT64_MAX;
// The deepest ply the capture search reached since the root last reset it.
extern thread_local constinit int selDepthReached;

// The game's positions before the root since its last pawn move or capture, oldest first, as
// hashKeys; null with gameHistoryCount 0 for a position given alone. A position of the search
// that repeats one of them is a draw. Set through GameHistoryScope.
extern thread_local constinit const std::uint64_t* gameHistory;
extern thread_local constinit int                  gameHistoryCount;

class GameHistoryScope {
public:
    GameHistoryScope(const std::uint64_t* keys, int count)
        : m_keys(gameHistory), m_count(gameHistoryCount) {
        gameHistory      = keys;
        gameHistoryCount = count;
    }
    ~GameHistoryScope() {
        gameHistory      = m_keys;
        gameHistoryCount = m_count;
    }
    GameHistoryScope(const GameHistoryScope&)            = delete;
    GameHistoryScope& operator=(const GameHistoryScope&) = delete;

private:
    const std::uint64_t* m_keys;
    int                  m_count;
};

// A ponder search's signal: -1 while it ponders, then the clockMs of the ponderhit; null when
// the search does not ponder. The clock poll takes the hit (takePonderHit, engine/think.h).
extern thread_local constinit const std::atomic<std::int64_t>* ponderHitSignal;

// What the root searches besides its usual self: only the moves of rootMoves (null: every
// move), with rootPreferredMove (origin * 64 + destination, 0: none) first in place of the
// hash move. A restricted root neither takes nor stores its own hash entry, whose score
// belongs to all its moves. rootMoveStarted, when set, is told each legal root move before
// it is searched, with its number (1 for the first).
extern thread_local constinit const Move* rootMoves;
extern thread_local constinit int         rootMoveCount;
extern thread_local constinit int         rootPreferredMove;
using RootMoveHook = void (*)(const Move& move, int number);
extern thread_local constinit RootMoveHook rootMoveStarted;

// True once the running search's stop request is set.
inline bool stopIsRequested() {
    return stopSignal != nullptr && stopSignal->load(std::memory_order_relaxed);
}

// Makes request the stop request of this thread's searches for the scope's life. Whoever may
// stop the search clears request before the search can begin, so that an early stop is kept.
class StopSignalScope {
public:
    explicit StopSignalScope(const std::atomic<bool>& request) : m_previous(stopSignal) {
        stopSignal = &request;
    }
    ~StopSignalScope() { stopSignal = m_previous; }
    StopSignalScope(const StopSignalScope&)            = delete;
    StopSignalScope& operator=(const StopSignalScope&) = delete;

private:
    const std::atomic<bool>* m_previous;
};

// Initial and reset value of pollCountdown: the clock is read once every 32770 nodes.
inline constexpr int PollInterval = 32768;

// The countdown to give pollCountdown at searchNodes so that the next poll comes after
// PollInterval + 2 nodes, or on the node limit when that comes first.
inline int pollCountdownFor(std::uint64_t nodes) {
    if (nodes >= nodeLimit) return -1;  // the next node polls
    const std::uint64_t left = nodeLimit - nodes;
    return left >= static_cast<std::uint64_t>(PollInterval) + 2 ? PollInterval
                                                                 : static_cast<int>(left) - 2;
}

// Zeroes the move lists, the line keys and counts, the best lines and the tables of hash.h,
// and puts the search at ply 0, so that nothing carries over from an earlier search.
void clearSearchState();

// Fail-soft negamax search of depth remaining plies for side, the colour to move, within
// (alpha, beta). Probes and stores the transposition table, scores a position that recurs on
// the line since the root, or below the root repeats one of gameHistory, as 0, and answers 0
// at once after the clock stopped the search.
int alphaBeta(int side, int alpha, int beta, int depth);

// alphaBeta at the root (ply 0), with what rootMoves, rootPreferredMove and rootMoveStarted
// ask; with none of them set it is alphaBeta node for node.
int searchRoot(int side, int alpha, int beta, int depth);

// The capture search at the leaves: stand pat on the static score, then captures (never of a
// pawn, never by a higher-coded man onto a square the opponent attacks); in check, every
// evasion and no stand pat.
int quiesce(int side, int alpha, int beta);

// The next record to try at the current ply, or null when there is none. Produces the hash
// move, then the captures sorted by scoreCapture, the quiet killer, the quiet moves; in check
// the evasions. Records may repeat; the caller skips what it has searched.
Move* nextMove(int side, int hashMove);

// Writes move's ordering score: the value of the man taken, less the taker's value when a
// lower-coded man is taken on a defended square, plus the promotion, plus 100 for the capture
// killer.
void scoreCapture(Move& move, int side);

// Makes move the head of the current ply's line, followed by the line of the ply below.
void updatePv(const Move& move);
