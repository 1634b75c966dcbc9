#include "cli/recordmessages.h"

std::string fileProblemText(const ScanFailure& failure) {
    const std::string place = "line " + std::to_string(failure.line) + ": " + failure.text;
    switch (failure.kind) {
    case FileProblem::NoGameRead:
        return "no game can be read; the first breaks at " + place;
    case FileProblem::GameSkipped:
        return "game skipped at " + place;
    case FileProblem::FileChanged:
        return "the file no longer fits its index (it ends at " + place + ")";
    }
    return place;
}

std::string parseProblemText(const ParseOutcome& outcome) {
    const std::string number =
        std::to_string(outcome.moveNumber) + (outcome.blackMove ? "..." : ".");
    switch (outcome.problem) {
    case ParseProblem::None:
        return {};
    case ParseProblem::Grammar:
        return "the text is not a valid game (byte " + std::to_string(outcome.offset) + ")";
    case ParseProblem::IllegalMove:
        return "move " + number + " " + outcome.move + " cannot be read";
    case ParseProblem::TooManyMoves:
        return "the game exceeds the limit of " + std::to_string(MaxGameMoves) +
               " half-moves (at move " + number + ")";
    case ParseProblem::BadSetUp:
        return "its FEN tag cannot be set up";
    case ParseProblem::OtherVariant:
        return "it is a game of another chess variant";
    }
    return {};
}
