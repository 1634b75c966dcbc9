// Reading one game: its text cut out of the file by its byte range, and the game parser.
#pragma once

#include <cstddef>
#include <string>

#include "records/bufferedfile.h"
#include "records/gameindex.h"
#include "records/gametree.h"

// Why a game was not read whole.
enum class ParseProblem {
    None,
    Grammar,      // the text breaks the PGN grammar (or holds no game)
    IllegalMove,  // a move token that is not a legal move
    TooManyMoves, // more moves than a game holds (MaxGameMoves)
    BadSetUp,     // a FEN tag that cannot be set up
    OtherVariant, // a Variant tag other than standard chess
};

struct ParseOutcome {
    ParseProblem problem    = ParseProblem::None;
    int          moveNumber = 0;     // IllegalMove, TooManyMoves: the move's number
    bool         blackMove  = false; // ... and whether Black makes it ("12...")
    char         move[40]   = {};    // IllegalMove: its text (control bytes as \xNN)
    std::size_t  offset     = 0;     // Grammar: the byte where reading stopped
    bool         gameFound  = false; // a tag or a move was read
};

// Reads text (up to its first zero byte or maxLength bytes) as one game into tree: every tag,
// the moves with their glyphs, comments and side lines (records/gametree.h). The same rules and
// answer as parseGameText, which reads through it; the Board is left as it was.
bool parseGameTree(const char* text, std::size_t maxLength, GameTree& tree,
                   ParseOutcome* outcome = nullptr);

// Reads text (up to its first zero byte or maxLength bytes) as one game into the current
// game (parseGameTree, then loadCurrentGame): tags (FEN into gameHeader.fen, SetUp dropped: the writer writes it again), info word
// and moves, each move checked by replaying it from the game's start. Stops after the game's
// termination token; a text that ends without one ends the game there, its last move taken.
// The termination token gives the result (none: unfinished), whatever the Result tag says;
// of two tags of one name the first counts (records/pgntags.h). The Board is left at the
// game's start and gamePly at 0. False when the text breaks the grammar, holds a move that
// is not legal, or a game that cannot be replayed (outcome, when given, says which); what was
// read before stays.
bool parseGameText(const char* text, std::size_t maxLength, ParseOutcome* outcome = nullptr);

// The whole byte range of entry's game from file into text, whatever its length. Answers
// the number of bytes read; 0 (text empty) when entry is null, its range is empty or the
// file cannot be read there.
std::size_t readGameText(BufferedFile& file, const GameEntry* entry, std::string& text);
