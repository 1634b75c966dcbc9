#include "review/judge.h"

#include <algorithm>
#include <cmath>

#include "review/expectedscore.h"

namespace {

bool mates(const UciScore& score) { return score.kind == UciScore::Mate && score.value > 0; }
bool mated(const UciScore& score) { return score.kind == UciScore::Mate && score.value <= 0; }

MoveMark markOfDrop(double drop) {
    if (drop >= BlunderDrop) return MoveMark::Blunder;
    if (drop >= MistakeDrop) return MoveMark::Mistake;
    if (drop >= InaccuracyDrop) return MoveMark::Inaccuracy;
    return MoveMark::None;
}

} // namespace

MoveJudgement judgeMove(const MoveScores& scores) {
    MoveJudgement judgement;
    if (scores.playedBest) {
        if (scores.second &&
            expectedScore(scores.best) - expectedScore(*scores.second) >= MistakeDrop)
            judgement.mark = MoveMark::Good;
        return judgement;
    }
    judgement.drop   = std::max(0.0, expectedScore(scores.best) - expectedScore(scores.played));
    judgement.cpLoss = std::clamp(clippedCentipawns(scores.best, CentipawnLossClip) -
                                      clippedCentipawns(scores.played, CentipawnLossClip),
                                  0, CentipawnLossClip);
    judgement.mark   = markOfDrop(judgement.drop);
    if (mates(scores.best) && !mates(scores.played) && judgement.mark < MoveMark::Mistake)
        judgement.mark = MoveMark::Mistake;
    if (mated(scores.played) && !mated(scores.best)) judgement.mark = MoveMark::Blunder;
    return judgement;
}

double moveAccuracy(double drop) { return 100.0 * std::exp(-4.0 * std::clamp(drop, 0.0, 1.0)); }

SideFigures sideFigures(const std::vector<MoveJudgement>& moves) {
    SideFigures figures;
    if (moves.empty()) return figures;
    double loss = 0, accuracy = 0;
    for (const MoveJudgement& move : moves) {
        ++figures.moves;
        loss += move.cpLoss;
        accuracy += moveAccuracy(move.drop);
        switch (move.mark) {
        case MoveMark::Good:
            ++figures.good;
            break;
        case MoveMark::Inaccuracy:
            ++figures.inaccuracies;
            break;
        case MoveMark::Mistake:
            ++figures.mistakes;
            break;
        case MoveMark::Blunder:
            ++figures.blunders;
            break;
        case MoveMark::None:
            break;
        }
    }
    figures.averageCpLoss = loss / figures.moves;
    figures.accuracy      = accuracy / figures.moves;
    return figures;
}

const char* markText(MoveMark mark) {
    switch (mark) {
    case MoveMark::Good:
        return "!";
    case MoveMark::Inaccuracy:
        return "?!";
    case MoveMark::Mistake:
        return "?";
    case MoveMark::Blunder:
        return "??";
    case MoveMark::None:
        break;
    }
    return "";
}

int markNag(MoveMark mark) {
    switch (mark) {
    case MoveMark::Good:
        return 1;
    case MoveMark::Inaccuracy:
        return 6;
    case MoveMark::Mistake:
        return 2;
    case MoveMark::Blunder:
        return 4;
    case MoveMark::None:
        break;
    }
    return 0;
}
