// A game as a tree: every tag, the moves with their glyphs, comments and side lines nested to
// any depth. The game parser fills it (parseGameTree, records/pgnread.h), the lossless writer
// writes it (records/gametreewrite.h), and the current game (records/game.h) is derived from
// it by loadCurrentGame.
//
// Addressing a move: a NodePath, the list of indices that leads to it from the game's start.
//   {i}                 the main line's move i (0: the first move)
//   {i, v, j}           move j of side line v of main-line move i (the side lines of a move
//                       replace it: they start from the position before it)
//   {i, v, j, w, k}     move k of side line w of that move j, and so on to any depth
// An empty path is the game's start, before the first move. A path is a plain value: it
// stays valid while the lines it goes through keep their moves and side lines; an edit
// answers the path of what it made (records/gameedits.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/board.h"

struct GameTag {
    std::string name;
    std::string value; // as read: the escapes "\"" and "\\" taken back

    bool operator==(const GameTag&) const = default;
};

struct MoveNode;

// A line of moves, each after the one before it.
struct MoveLine {
    std::vector<MoveNode> moves;

    bool operator==(const MoveLine&) const;
};

struct MoveNode {
    Move        move{}; // legal in the position its line reaches before it
    std::string san;    // its standard algebraic notation, as the writer writes it
    // Its numeric annotation glyphs in the order read ("!" is 1, "?" 2, "!!" 3, "??" 4,
    // "!?" 5, "?!" 6).
    std::vector<int> nags;
    // Comments before the move (at the start of a line, or after a side line) and after it,
    // their text byte for byte between the braces (embedded commands such as [%clk ...] or
    // [%cal ...] included); two comments in a row stay two.
    std::vector<std::string> commentsBefore;
    std::vector<std::string> commentsAfter;
    // The side lines that replace this move, in the order read.
    std::vector<MoveLine> variations;

    bool operator==(const MoveNode& other) const;
};

using NodePath = std::vector<int>;

struct GameTree {
    // Every tag pair in file order, unknown ones included, each as read. The writer writes
    // Result from the termination and SetUp from the FEN tag, whatever these say.
    std::vector<GameTag> tags;
    MoveLine             mainLine;
    // The comments of a game without moves (a game with moves keeps them on its moves).
    std::vector<std::string> comments;
    // "1-0", "0-1", "1/2-1/2" or "*" (a game that ends without a token is unfinished).
    std::string termination = "*";

    // The value of the first tag named name, or "" when there is none.
    std::string tag(const char* name) const;
    // The FEN of the game's start (its first FEN tag): empty for the initial position.
    std::string startFen() const { return tag("FEN"); }
    // Whether it holds no comment, glyph nor side line.
    bool plain() const;
};

// The tags as the writer writes them, in its order: Event, Site, Date, Round, White, Black
// (the first of each name; "-" for an empty or missing one), Result (from the termination),
// ECO (the first, when it is a code), SetUp and FEN (for a game from a set-up position), then
// every other tag in file order: later tags of a name already had among them, an ECO value
// that is no code. Never a Result or SetUp tag read (they are written from the game), nor a
// tag without a name, nor another tag with an empty value (it says nothing; the record
// writer has never written one) but for the first Variant tag.
std::vector<GameTag> writtenTags(const GameTree& tree);

// Trees compare by what the writer writes of them: the tags in the order written, the moves,
// glyphs, comments, side lines and the termination.
bool sameGame(const GameTree& a, const GameTree& b);

// The move a path names, or null when the path leads nowhere (the empty path included).
const MoveNode* nodeAt(const GameTree& tree, const NodePath& path);
MoveNode*       nodeAt(GameTree& tree, const NodePath& path);
// The line holding the move a path names and its index there; null for a path that leads
// nowhere. For the empty path: the main line and -1.
const MoveLine* lineAt(const GameTree& tree, const NodePath& path, int& index);
MoveLine*       lineAt(GameTree& tree, const NodePath& path, int& index);

// The main line's moves.
std::vector<Move> mainLineMoves(const GameTree& tree);
// The moves from the game's start up to and including the move a path names (none for the
// empty path); empty as well when the path leads nowhere.
std::vector<Move> lineTo(const GameTree& tree, const NodePath& path);
// The position after the move a path names (the start for the empty path), replayed on a copy
// of the Board; the thread's Board is left as it was. False when the path leads nowhere or
// the game's start cannot be set up.
bool positionAt(const GameTree& tree, const NodePath& path, Board& out);

// Derives the current game (gameHeader, gameMoves, gamePly, gameAnnotations) from the tree:
// the one place that does. Tags as the game parser has always taken them (the first of a
// name counts, an ECO code into the information word, other tags into otherTags as far as
// they fit), the result from the termination, the main line (up to MaxGameMoves moves), the
// annotations in the order the writer writes them. gamePly is 0 and the Board at the game's
// start (at the initial position when that cannot be set up or is another variant's).
void loadCurrentGame(const GameTree& tree);

// A tree of the current game: its tags, the result and its main line (a game played on the
// board has nothing else). Leaves the Board as it was.
GameTree treeOfCurrentGame();
