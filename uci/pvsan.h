// uci/pvsan: an engine's line, in coordinate moves, read against the position it was found for
// and written in SAN with move numbers, as a player reads it. The command line's analyse and the
// desktop's analysis pane both show lines through it.
#pragma once

#include <string>
#include <vector>

struct SanLine {
    std::vector<std::string> san;      // the moves of the line that are legal one after another
    std::vector<std::string> coords;   // the same moves in coordinate form
    int                      firstMoveNumber = 1;  // the move number of the line's first move
    bool                     whiteFirst      = true;
};

// Sets up fen (empty: the initial position), plays played from it, then reads pv as far as its
// moves are legal in turn. The calling thread's Board is left as it was. False when fen cannot
// be read or a move of played is not legal there; a pv that stops being legal is cut short.
bool pvToSan(const std::string& fen, const std::vector<std::string>& played,
             const std::vector<std::string>& pv, SanLine& out);

// "12. Nf3 Nc6 13. d4", or "12... Nc6 13. d4" when Black moves first; the first count moves
// (all of them when count is negative).
std::string numberedSan(const SanLine& line, int count = -1);
