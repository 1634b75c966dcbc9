// The current game as a tree with its edits, beside the globals (gameHeader, gameMoves,
// gamePly, gameAnnotations) that are derived from it. The tree is what saving writes; the
// globals are what the board, the move list and the engine read.
#pragma once

#include <cstddef>
#include <string>

#include "records/gameedits.h"
#include "records/pgnread.h"

// The current game's tree and its undo history.
GameEditHistory& currentGameEdits();
inline const GameTree& currentGameTree() { return currentGameEdits().tree(); }

// Reads text as one game into a fresh history and derives the globals from it: the answer
// and the outcome of parseGameText.
bool loadCurrentGameText(const char* text, std::size_t maxLength, ParseOutcome* outcome = nullptr);

// Starts a fresh history from the globals (a new game, a set-up position): the tree of a game
// that has nothing but its tags and main line.
void takeCurrentGameFromGlobals();

// Whether the tree's start and main line are the globals' (as far as gameMoves holds them).
bool currentTreeMatchesGlobals();

// Keeps the tree in step with moves played into the globals: the main line from the first
// move that differs is replaced by the globals' moves, and the result taken from the
// information word. A game whose start changed is taken afresh. Kept as one edit.
void syncPlayedGame();

// Puts command (a clock time, "[%clk 0:04:58]") at the start of the comment after the main
// line's move at index ply, in place of a clock time it had; part of the edit that played
// the move, not one of its own. False when the main line has no such move.
bool setPlayedMoveClock(int ply, const std::string& command);

// Writes into the tree, as one edit, the header fields that differ from before (the six
// names, the result, ECO; the other tags as a whole when their text changed): a field the
// user left alone keeps the tree's value even where the header holds it cut short.
struct GameHeader;
void syncEditedHeader(const GameHeader& before);

// The same for a header changed in the globals by any means: the header the tree gives is
// compared with the globals' (the globals, gamePly and the Board are left as they were).
void syncHeaderFromGlobals();

// Derives the globals from the tree again (after an edit, undo or redo): gamePly 0 and the
// Board at the game's start.
void deriveCurrentGame();
