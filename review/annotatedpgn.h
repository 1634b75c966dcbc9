// review/annotatedpgn: a reviewed game's movetext as standard PGN that other programs read:
// each move in SAN with its mark as a NAG ($1 !, $6 ?!, $2 ?, $4 ??), a comment holding the
// evaluation after it as [%eval 0.31] (pawns from White's side; #3 White mates in 3, #-2 Black
// mates in 2; none after a checkmate) and, for ? and ??, the explanation, then the better line
// as a side line ( ... ). Move numbers as the record writer writes them, and again before a
// Black move that follows a comment or a side line.
#pragma once

#include <string>

#include "records/gametree.h"
#include "review/reviewer.h"

// The evaluation as [%eval] writes it, from White's side: "0.31", "-1.20", "#3", "#-2".
std::string evalText(const UciScore& whiteScore);

// The movetext of game with review's marks, ending with result (the termination token) and a
// line feed; lines are broken between tokens before 80 characters. Thread-safe (it reads the
// moves on the calling thread's Board, put back as it was).
std::string annotatedMovetext(const ReviewGameInput& game, const GameReview& review,
                              const std::string& result);

// Writes into tree what review judged of game, the tree's main line being game's moves (the
// same text as annotatedMovetext, kept in the tree so that the game's editor, saving and undo
// hold it). Each judged move (the positions before and after it both searched, or one of them
// without a legal move): its mark takes the place of any of the six move marks (a move judged
// unmarked loses them), other glyphs staying; its evaluation goes into the comment after it as
// [%eval ...], in place of the first [%eval] command there (the rest of the comment byte for
// byte), else at the start of its first comment after, else as a new comment; for ? and ??
// the explanation is added to that comment (unless it holds it already) and the better line
// becomes a side line of the move (followed where the tree has it already). A cancelled
// review writes the moves it judged. False, the tree left as it was, when the tree's main line
// does not begin with game's moves or the game's start cannot be set up.
bool writeReviewIntoTree(GameTree& tree, const ReviewGameInput& game, const GameReview& review);
