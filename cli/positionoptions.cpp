#include "cli/positionoptions.h"

#include <vector>

bool namesPosition(const ParsedArguments& parsed) {
    return parsed.has(FenOption.name) || parsed.has(PositionOption.name);
}

bool setUpNamedPosition(const ParsedArguments& parsed, std::string& error) {
    const bool                     fromFen   = parsed.has(FenOption.name);
    const std::vector<std::string> moves     = splitMoves(parsed.value(PositionOption.name));
    const bool                     startWord = moves.size() == 1 && moves[0] == "startpos";
    if (fromFen && startWord) {
        error = "--position startpos and --fen name two different positions";
        return false;
    }
    if (!startPosition(parsed.value(FenOption.name), error)) {
        error = "--fen: " + error;
        return false;
    }
    if (startWord) return true;
    if (!playMoves(moves, error)) {
        error = "--position: " + error;
        return false;
    }
    return true;
}
