// How the game review (棋譜解析) searches each position: a budget of nodes (the default, so that
// the result does not depend on the machine's load), of depth or of time, kept in the settings
// store; and the engine processes it runs.
#pragma once

#include "uci/ucimessages.h"

struct ReviewBudget {
    enum Kind { Nodes, Depth, Movetime };
    Kind      kind  = Nodes;
    long long value = 1000000; // nodes, plies or milliseconds
};

// The lowest and highest value of each kind.
long long reviewBudgetMin(ReviewBudget::Kind kind);
long long reviewBudgetMax(ReviewBudget::Kind kind);

// The budget as last stored, its value brought within its kind's range; the default (a
// million nodes, as the command line's annotate) when nothing readable was stored.
ReviewBudget reviewBudget();
void         setReviewBudget(const ReviewBudget& budget);

// The budget as the engine's search limits, and how long a search may take before it is
// stopped.
UciGo     reviewLimits(const ReviewBudget& budget);
long long reviewSearchWaitMs(const ReviewBudget& budget);

// One engine process per thread: NORVANE_THREADS when set, else the processors the system
// offers, as the other passes.
int reviewThreads();
