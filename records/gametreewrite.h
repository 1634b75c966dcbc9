// Writing a game tree as PGN text, losing nothing the tree holds.
#pragma once

#include <string>

#include "records/gametree.h"

// The game as PGN text: its tags in the order writtenTags gives (values escaped), a blank
// line, the movetext and its termination, then a blank line.
// A game without comments, glyphs and side lines is written as writeGameRecord writes the
// current game: "1.e4 e5 2.Nf3", a line feed after every tenth half-move.
// An annotated game is written in lines of at most 80 columns, broken only between tokens (a
// comment is one token: it is never broken, and one longer than a line overruns it): each
// move with its number before White's moves and "N..." before Black's at the start of a line,
// after a comment and after a side line; glyphs as "$n" (the suffixes "!", "?" and the others
// as $1-$6, as exported games spell them); comments "{...}" byte for byte; side lines
// "(...)" after the move they replace, its glyphs and its comments. Reading the text gives the
// same tree back, and writing that tree gives the same bytes.
std::string writeGameTree(const GameTree& tree);
