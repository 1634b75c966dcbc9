// Reaching positions in tests as the program does: SAN moves played from the initial position.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "engine/board.h"
#include "engine/makemove.h"
#include "records/san.h"

// Plays SAN moves from the initial position, appending each to played when given; false at
// the first one that does not read.
inline bool playSan(const std::string& line, std::vector<Move>* played = nullptr) {
    setupStartPosition();
    std::istringstream tokens(line);
    std::string        token;
    while (tokens >> token) {
        Move move{};
        if (!sanToMove(token.c_str(), static_cast<int>(token.size()) - 1, &move)) return false;
        makeMove(move);
        if (played) played->push_back(move);
    }
    return true;
}

// The moves of a SAN line, read from the initial position; they are taken back again, so
// the Board is left there (and the current game's moves are not touched after the set-up).
inline bool readSanLine(const std::string& line, std::vector<Move>& moves) {
    const std::size_t before = moves.size();
    const bool        read   = playSan(line, &moves);
    for (std::size_t i = moves.size(); i > before; --i) unmakeMove(moves[i - 1]);
    return read;
}
