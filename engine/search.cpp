#include "engine/search.h"

#include <cstring>

#include "engine/attacks.h"
#include "engine/eval.h"
#include "engine/hash.h"
#include "engine/makemove.h"
#include "engine/movegen.h"
#include "engine/think.h"

thread_local constinit Move          moveStack[MaxPly][MaxMovesPerPly]{};
thread_local constinit Move*         moveListEnd[MaxPly]{};
thread_local constinit int           searchPly = 0;
thread_local constinit Move*         pickerCurrent[MaxPly]{};
thread_local constinit int           pickerPhase[MaxPly]{};
thread_local constinit int           reversibleCount[MaxPly]{};
thread_local constinit std::uint64_t pathKeys[MaxPly]{};
thread_local constinit Move          pvTable[MaxPly][MaxPly + 1]{};

thread_local constinit int                      stopSearch    = 0;
thread_local constinit int                      pollCountdown = PollInterval;
thread_local constinit std::int64_t             timeLimitMs   = 0;
thread_local constinit std::int64_t             searchStartMs = 0;
thread_local constinit const std::atomic<bool>* stopSignal    = nullptr;
thread_local constinit std::uint64_t            searchNodes   = 0;
thread_local constinit std::uint64_t            nodeLimit     = NoNodeLimit;
thread_local constinit int                      selDepthReached = 0;
thread_local constinit const std::uint64_t*     gameHistory      = nullptr;
thread_local constinit int                      gameHistoryCount = 0;
thread_local constinit const std::atomic<std::int64_t>* ponderHitSignal = nullptr;
thread_local constinit const Move*              rootMoves         = nullptr;
thread_local constinit int                      rootMoveCount     = 0;
thread_local constinit int                      rootPreferredMove = 0;
thread_local constinit RootMoveHook             rootMoveStarted   = nullptr;

namespace {

// The first thing every node does. True when the node must answer 0 at once: the search was
// stopped before, or the countdown ran out and the clock shows the time limit reached.
bool clockStops() {
    if (stopSearch) return true;
    ++searchNodes;
    const int n = pollCountdown;
    pollCountdown = n - 1;
    if (n < 0) {
        // The requests and the node limit are read only where the clock is, so a search that
        // is never stopped visits exactly the nodes it always did.
        if (ponderHitSignal) takePonderHit();
        pollCountdown = pollCountdownFor(searchNodes);
        if (stopSearch || stopIsRequested() || clockMs() - searchStartMs >= timeLimitMs ||
            searchNodes >= nodeLimit) {
            stopSearch = 1;
            return true;
        }
    }
    return false;
}

// True when the position at ply p (> 0), whose line since the root holds no earlier
// occurrence, is one of the game's positions before the root.
[[gnu::noinline]] bool repeatsGameHistory(std::uint64_t key) {
    for (int i = gameHistoryCount - 1; i >= 0; --i)
        if (gameHistory[i] == key) return true;
    return false;
}

// Whether a root move is among rootMoves.
bool rootMoveAllowed(const Move& move) {
    for (int i = 0; i < rootMoveCount; ++i)
        if (rootMoves[i].fromTo == move.fromTo && promotionType(rootMoves[i]) == promotionType(move))
            return true;
    return false;
}

bool inCheckNow(int side) { return isAttacked(board.kingSquare[side], side ^ 1); }

// Orders records [first, end) by score, highest first; equal scores keep their order.
void sortByScore(Move* first, Move* end) {
    for (Move* m = first + 1; m < end; ++m) {
        const Move moving = *m;
        Move*      hole   = m;
        while (hole > first && hole[-1].score < moving.score) {
            *hole = hole[-1];
            --hole;
        }
        *hole = moving;
    }
}

}  // namespace

void clearSearchState() {
    std::memset(moveStack, 0, sizeof moveStack);
    std::memset(pathKeys, 0, sizeof pathKeys);
    std::memset(reversibleCount, 0, sizeof reversibleCount);
    std::memset(pvTable, 0, sizeof pvTable);
    clearTables();
    searchPly = 0;
}

void scoreCapture(Move& move, int side) {
    const int taken = capturedType(move);
    int       score = pieceValue[taken];
    if (taken != NoPiece && taken < move.piece && isAttacked(moveTo(move), side ^ 1))
        score -= pieceValue[move.piece];
    if (promotionType(move)) score += pieceValue[promotionType(move)];
    if (move.fromTo == captureKiller(side)) score += 100;
    move.score = static_cast<std::int16_t>(score);
}

void updatePv(const Move& move) {
    const int p = searchPly;
    if (p + 1 >= MaxPly) return;
    pvTable[p][0] = move;
    for (int i = 0; i < MaxPly - (p + 1); ++i) {
        pvTable[p][i + 1] = pvTable[p + 1][i];
        if (pvTable[p + 1][i].fromTo == 0) break;
    }
}

Move* nextMove(int side, int hashMove) {
    const int p    = searchPly;
    Move*     next = pickerCurrent[p] ? pickerCurrent[p] + 1 : moveStack[p];
    pickerCurrent[p] = next;
    if (next != moveListEnd[p]) return next;

    // The batch is used up. Single records (hash move, killer) are written at the end of the
    // list, which then grows by one.
    Move* const start = moveListEnd[p];
    Move*       end   = start;
    switch (pickerPhase[p]) {
    case HashMove:
        pickerPhase[p] = Captures;
        if (moveFromCoords(start, side, hashMove)) {
            moveListEnd[p] = start + 1;
            return start;
        }
        [[fallthrough]];
    case Captures:
        end            = genCaptures(side, start);
        pickerPhase[p] = Killer;
        moveListEnd[p] = end;
        if (end != start) {
            for (Move* m = start; m != end; ++m) scoreCapture(*m, side);
            if (end - start > 1) sortByScore(start, end);
            return start;
        }
        [[fallthrough]];
    case Killer:
        pickerPhase[p] = Quiet;
        if (moveFromCoords(start, side, static_cast<int>(quietKiller(side)))) {
            moveListEnd[p] = start + 1;
            return start;
        }
        end = genNonCaptures(side, start);
        break;
    case Quiet:
        end = genNonCaptures(side, start);
        break;
    case Evasions:
        end = genEvasions(side, start);
        break;
    default:
        return nullptr;
    }
    moveListEnd[p] = end;
    pickerPhase[p] = Done;
    return end != start ? start : nullptr;
}

// alphaBeta's body; Root adds what the root may be asked (searchRoot). The nodes below the
// root are Root = false, which compiles to the plain search.
template <bool Root>
int searchNode(int side, int alpha, int beta, int depth) {
    if (clockStops()) return 0;
    const int p = searchPly;
    if (p >= MaxPly) return evaluate(side, alpha, beta);

    // A position met before on the line since the root is a draw. The walk stops at the last
    // pawn move or capture: no earlier position can come back across it. Below the root it
    // goes on into the game's earlier positions (the root's count is theirs), which only a
    // game given with its moves has.
    const std::uint64_t key = board.hashKey;
    if (reversibleCount[p] != 0) {
        int k = p - 1;
        for (; k >= 0; --k) {
            if (pathKeys[k] == key) return 0;
            if (reversibleCount[k] == 0) break;
        }
        if (k < 0 && p > 0 && repeatsGameHistory(key)) return 0;
    }
    pathKeys[p] = key;
    if (depth <= 0) return quiesce(side, alpha, beta);

    // Entries carry no bound type: one searched deep enough is the node's value.
    HashEntry entry;
    entry.move   = 0;
    int hashMove = 0;
    const bool restricted = Root && rootMoves != nullptr;
    if (restricted) {
        hashMove = rootPreferredMove;
    } else if (probeHash(&entry)) {
        hashMove = entry.move;
        if (entry.depth >= depth) {
            pvTable[p][0].fromTo = 0;
            return entry.score;
        }
    }

    const bool inCheck = inCheckNow(side);
    pickerCurrent[p]   = nullptr;
    moveListEnd[p]     = moveStack[p];
    pickerPhase[p]     = inCheck ? Evasions : hashMove != 0 ? HashMove : Captures;

    int  best = -MateScore, searched = 0;
    Move bestMove{};
    bool killerTried = false;
    for (Move* m; (m = nextMove(side, hashMove)) != nullptr;) {
        // The picker repeats the hash move and the killer in later batches.
        if (!inCheck) {
            if (searched != 0 && m->fromTo == hashMove) continue;
            if (killerTried && capturedType(*m) == NoPiece && m->fromTo == quietKiller(side))
                continue;
            if (m->fromTo == quietKiller(side)) killerTried = true;
        }
        if constexpr (Root)
            if (restricted && !rootMoveAllowed(*m)) continue;
        makeMove(*m);
        if (inCheckNow(side)) {
            unmakeMove(*m);
            continue;
        }
        if constexpr (Root)
            if (rootMoveStarted) rootMoveStarted(*m, searched + 1);
        if (p + 1 < MaxPly)
            reversibleCount[p + 1] =
                m->piece == Pawn || capturedType(*m) != NoPiece ? 0 : reversibleCount[p] + 1;
        searchPly       = p + 1;
        const int score = -searchNode<false>(side ^ 1, -beta, -alpha, depth - 1);
        searchPly       = p;
        unmakeMove(*m);
        if (stopSearch) return 0;

        ++searched;
        if (score > best) best = score;
        if (score > alpha) {
            alpha = score;
            updatePv(*m);
            bestMove = *m;
        }
        if (alpha >= beta) {
            if (!restricted) storeHash(m->fromTo, alpha, depth);
            return alpha;
        }
    }

    if (bestMove.fromTo != 0) {
        rewardBestMove(side, bestMove, depth);
        if (!restricted) storeHash(bestMove.fromTo, alpha, depth);
    }
    if (searched == 0) return inCheck ? -MateScore : 0;
    return best;
}

int alphaBeta(int side, int alpha, int beta, int depth) {
    return searchNode<false>(side, alpha, beta, depth);
}

int searchRoot(int side, int alpha, int beta, int depth) {
    return searchNode<true>(side, alpha, beta, depth);
}

int quiesce(int side, int alpha, int beta) {
    if (clockStops()) return 0;
    const int p = searchPly;
    if (p > selDepthReached) selDepthReached = p;
    if (p >= MaxPly) return evaluate(side, alpha, beta);

    const bool inCheck = inCheckNow(side);
    int        best = -MateScore, standPat = 0;
    if (!inCheck) {
        standPat = evaluate(side, alpha, beta);
        best     = standPat;
        if (standPat >= beta) return standPat;
        if (standPat > alpha) alpha = standPat;
    }

    Move* const first = moveStack[p];
    Move* const end   = inCheck ? genEvasions(side, first) : genCaptures(side, first);
    moveListEnd[p]    = end;

    int  searched = 0;
    bool raised   = false;
    for (Move* m = first; m != end; ++m) {
        if (!inCheck && capturedType(*m) == Pawn) continue;
        makeMove(*m);
        if (inCheckNow(side) ||
            (!inCheck && m->piece > capturedType(*m) && isAttacked(moveTo(*m), side ^ 1))) {
            unmakeMove(*m);
            continue;
        }
        searchPly       = p + 1;
        const int score = -quiesce(side ^ 1, -beta, -alpha);
        searchPly       = p;
        unmakeMove(*m);
        if (stopSearch) return 0;

        ++searched;
        if (score > best) best = score;
        if (score > alpha) {
            alpha = score;
            updatePv(*m);
            raised = true;
        }
        if (alpha >= beta) break;
    }

    if (searched == 0) return inCheck ? -MateScore : standPat;
    if (!raised) return inCheck ? best : standPat;
    return alpha;
}
