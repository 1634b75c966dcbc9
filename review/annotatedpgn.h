// review/annotatedpgn: a reviewed game's movetext as standard PGN that other programs read:
// each move in SAN with its mark as a NAG ($1 !, $6 ?!, $2 ?, $4 ??), a comment holding the
// evaluation after it as [%eval 0.31] (pawns from White's side; #3 White mates in 3, #-2 Black
// mates in 2; none after a checkmate) and, for ? and ??, the explanation, then the better line
// as a side line ( ... ). Move numbers as the record writer writes them, and again before a
// Black move that follows a comment or a side line.
#pragma once

#include <string>

#include "review/reviewer.h"

// The evaluation as [%eval] writes it, from White's side: "0.31", "-1.20", "#3", "#-2".
std::string evalText(const UciScore& whiteScore);

// The movetext of game with review's marks, ending with result (the termination token) and a
// line feed; lines are broken between tokens before 80 characters. Thread-safe (it reads the
// moves on the calling thread's Board, put back as it was).
std::string annotatedMovetext(const ReviewGameInput& game, const GameReview& review,
                              const std::string& result);
