// Reaching positions in tests as the program does: SAN moves played from the initial position.
#pragma once

#include <sstream>
#include <string>

#include "engine/board.h"
#include "engine/makemove.h"
#include "records/san.h"

// Plays SAN moves from the initial position; false at the first one that does not read.
inline bool playSan(const std::string& line) {
    setupStartPosition();
    std::istringstream tokens(line);
    std::string        token;
    while (tokens >> token) {
        Move move{};
        if (!sanToMove(token.c_str(), static_cast<int>(token.size()) - 1, &move)) return false;
        makeMove(move);
    }
    return true;
}
