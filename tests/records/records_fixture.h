// Helpers shared by the record tests: reaching positions by SAN lines, as the program does.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

#include "engine/board.h"
#include "engine/fensetup.h"
#include "engine/makemove.h"
#include "records/game.h"
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

inline void setFen(const char* fen) {
    char error[128];
    ASSERT_TRUE(setupFromFen(fen, error, sizeof error)) << fen << ": " << error;
}

inline bool sameMove(const Move& a, const Move& b) {
    return a.fromTo == b.fromTo && a.piece == b.piece && a.flags == b.flags;
}

inline std::string testData(const char* name) { return std::string(NORVANE_TEST_DATA) + "/" + name; }

#include "engine/coords.h"
