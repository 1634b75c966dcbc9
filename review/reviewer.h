// review/reviewer: a game's main line reviewed by a UCI engine. Every position is searched
// with two lines (MultiPV 2) under a budget (nodes, depth or time), by one engine process per
// thread pulling positions from a shared queue. Each search starts with ucinewgame, and the
// engines run with one search thread and a small hash, so that a position's result does not
// depend on what its engine searched before: with a node budget the review is the same on 1
// or on 8 threads. Each move is judged (review/judge.h) as soon as the positions before and
// after it are searched, and a ? or ?? is explained (review/explain.h).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "review/judge.h"
#include "uci/enginesession.h"
#include "uci/ucimessages.h"

// The game to review: where it starts and its moves, with the position before and after each.
struct ReviewGameInput {
    std::string              startFen;   // the game's start; empty for the initial position
    std::vector<std::string> moves;      // coordinate form
    std::vector<std::string> fens;       // the position before each move, and after the last
    std::vector<int>         mateStatus; // per position: HasLegalMove, Checkmated, Stalemated
};

// The current game's main line (records/game.h) as a review's input. Reads the shared
// current game and the thread's Board (put back as it was): call it on the thread that read
// the game. False when the game's start cannot be set up.
bool currentGameForReview(ReviewGameInput& out);

// One position's search, from its side to move. A position without a legal move is not
// searched: a mated side has score mate 0, a stalemated one cp 0, and no lines.
struct ReviewedPosition {
    bool                     searched = false;
    UciScore                 score;       // the best line's
    std::optional<UciScore>  secondScore; // the second line's, when there is one
    std::vector<std::string> bestLine;    // coordinate form; its first move the engine's best
    std::vector<std::string> secondLine;
    std::int64_t             searchMs = 0; // how long its search took, from go to bestmove
};

// One move, judged from its mover's side in the terms of the position before it.
struct ReviewedMove {
    int           ply = 0; // 0 for the game's first move
    MoveScores    scores;
    MoveJudgement judgement;
    std::string   explanation; // for ? and ??, UTF-8; else empty
};

struct GameReview {
    std::vector<ReviewedPosition> positions; // one more than the moves
    std::vector<ReviewedMove>     moves;
    SideFigures                   white, black;
    // When the review failed: the engine's failure as its kind and detail, for a caller that
    // words it in its own language (the error string holds it as an English sentence).
    UciError engineError;
};

struct ReviewSettings {
    EngineSetup  engine;           // the reviewer sets its MultiPV and adds its preferences
    UciGo        limits;           // the budget of each position: nodes, depth or movetime
    std::int64_t searchWaitMs = 0; // how long a search may take before it is stopped
    int          threads      = 1; // engine processes, at most one per position
};

enum class ReviewOutcome { Done, Cancelled, Failed };

// Called as each move is judged, in no set order of plies, one call at a time (from the
// engines' threads, or the caller's with one thread).
using ReviewProgress = std::function<void(const ReviewedMove& move)>;

// Reviews game. Failed with the engine's failure in error (one sentence naming the engine,
// for the caller to word), Cancelled when cancel became true meanwhile (engines stopped).
ReviewOutcome reviewGame(const ReviewGameInput& game, const ReviewSettings& settings,
                         GameReview& out, std::string& error, const ReviewProgress& progress = {},
                         const std::atomic<bool>* cancel = nullptr);

// The same on an engine session already opened with reviewEngineSetup (one engine, on the
// calling thread), for callers that review many games with one engine each.
ReviewOutcome reviewGameWith(EngineSession& session, const ReviewGameInput& game,
                             const ReviewSettings& settings, GameReview& out, std::string& error,
                             const ReviewProgress&    progress = {},
                             const std::atomic<bool>* cancel   = nullptr);

// settings.engine with what a review asks of the engine: two lines, no book, one search
// thread, a small hash.
EngineSetup reviewEngineSetup(const EngineSetup& engine);
