#include "review/expectedscore.h"

#include <algorithm>
#include <cmath>

double expectedScore(const UciScore& score) {
    if (score.kind == UciScore::Mate) return score.value > 0 ? 1.0 : 0.0;
    return 1.0 / (1.0 + std::exp(-ExpectedScoreSlope * score.value));
}

int clippedCentipawns(const UciScore& score, int clip) {
    if (score.kind == UciScore::Mate) return score.value > 0 ? clip : -clip;
    return std::clamp(score.value, -clip, clip);
}

UciScore moverScore(const UciScore& opponentScore) {
    UciScore score   = opponentScore;
    score.lowerbound = opponentScore.upperbound;
    score.upperbound = opponentScore.lowerbound;
    if (opponentScore.kind == UciScore::Centipawns)
        score.value = -opponentScore.value;
    else
        score.value = opponentScore.value > 0 ? -opponentScore.value : 1 - opponentScore.value;
    return score;
}
