#include "review/explain.h"

#include <cstdio>

#include "uci/pvsan.h"

namespace {

// "+1.2", "-0.4", "#3", "#-2": a score from the mover's side as a player reads it.
std::string scoreText(const UciScore& score) {
    if (score.kind == UciScore::Mate) return std::string("#").append(std::to_string(score.value));
    char text[16];
    std::snprintf(text, sizeof text, "%+.1f", score.value / 100.0);
    return text;
}

}  // namespace

std::string explainMistake(const MistakeFacts& facts) {
    SanLine line;
    if (!pvToSan(facts.fen, {}, {facts.best}, line) || line.san.empty()) return {};
    std::string sentence = "最善は ";
    sentence.append(line.san.front()).append(" (").append(scoreText(facts.bestScore)).append(")");
    return sentence;
}
