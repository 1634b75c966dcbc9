#include "app/reviewsettings.h"

#include <QSettings>

#include <algorithm>

#include "records/passthreads.h"

namespace {

const char* const KindKey  = "Review/BudgetKind";
const char* const ValueKey = "Review/Budget";

// A search outruns its budget by this much before it is stopped: a movetime search past its
// time, a depth or nodes search in all.
constexpr long long MovetimeSlackMs  = 30000;
constexpr long long OpenSearchWaitMs = 10 * 60 * 1000;

} // namespace

long long reviewBudgetMin(ReviewBudget::Kind kind) {
    return kind == ReviewBudget::Movetime ? 10 : 1;
}

long long reviewBudgetMax(ReviewBudget::Kind kind) {
    switch (kind) {
    case ReviewBudget::Nodes:
        return 1000000000000LL;
    case ReviewBudget::Depth:
        return 100;
    case ReviewBudget::Movetime:
        return 3600000;
    }
    return 1;
}

ReviewBudget reviewBudget() {
    const QSettings store;
    ReviewBudget    budget;
    bool            number = false;
    const int       kind   = store.value(KindKey).toInt(&number);
    if (!number || kind < ReviewBudget::Nodes || kind > ReviewBudget::Movetime) return budget;
    const long long value = store.value(ValueKey).toLongLong(&number);
    if (!number) return budget;
    budget.kind  = static_cast<ReviewBudget::Kind>(kind);
    budget.value = std::clamp(value, reviewBudgetMin(budget.kind), reviewBudgetMax(budget.kind));
    return budget;
}

void setReviewBudget(const ReviewBudget& budget) {
    QSettings store;
    store.setValue(KindKey, static_cast<int>(budget.kind));
    store.setValue(ValueKey, std::clamp(budget.value, reviewBudgetMin(budget.kind),
                                        reviewBudgetMax(budget.kind)));
}

UciGo reviewLimits(const ReviewBudget& budget) {
    UciGo limits;
    switch (budget.kind) {
    case ReviewBudget::Nodes:
        limits.nodes = budget.value;
        break;
    case ReviewBudget::Depth:
        limits.depth = budget.value;
        break;
    case ReviewBudget::Movetime:
        limits.movetime = budget.value;
        break;
    }
    return limits;
}

long long reviewSearchWaitMs(const ReviewBudget& budget) {
    return budget.kind == ReviewBudget::Movetime ? budget.value + MovetimeSlackMs
                                                 : OpenSearchWaitMs;
}

int reviewThreads() { return passThreads(); }
