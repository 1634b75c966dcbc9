// The root's lines: keeping an iteration's best line with its distance to mate, and the
// iteration of a search that gives several lines or searches only some root moves.
#pragma once

#include "engine/think.h"

// Copies the root's best line (pvTable[0]) and score into line, as far as its moves are legal,
// and lengthens it with the transposition table's moves where the table cut it short (to
// depth plies, the iteration's). For a mate score the line is followed to the checkmate to
// find its distance; depth bounds the distance when none is found.
void keepSearchLine(SearchLine& line, int score, int depth);

// The root moves one search works on, read from the Board and the limits when it begins.
class RootLines {
public:
    explicit RootLines(const ThinkLimits& limits);
    RootLines(const RootLines&)            = delete;
    RootLines& operator=(const RootLines&) = delete;

    // One line and every root move: the search is the plain one, and this class idles.
    bool plain() const { return m_plain; }
    // Searches one iteration line by line and, when it finishes, puts its lines in
    // searchLines best first and the first line in pvTable[0]. False when the search was
    // stopped on the way: searchLines keep the last finished iteration.
    bool searchIteration(int side, int depth);
    // True when every line of the last finished iteration is a mate score.
    bool allMates() const;
    // For a search that gave nothing: the first root move it may play; false when plain.
    bool firstAllowed(Move* out) const;

private:
    bool m_plain      = true;
    bool m_restricted = false;  // only some root moves
    int  m_lines      = 1;
    int  m_count      = 0;
    Move m_moves[MaxMovesPerPly];
};
