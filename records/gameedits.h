// Editing a game tree: adding a line, promoting, deleting, comments and marks, each undone
// and redone through GameEditHistory. Every edit answers false and leaves the tree as it was
// when it cannot be done (a path that leads nowhere, an illegal move, a closing brace in a
// comment). Moves are addressed by NodePath (records/gametree.h).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "records/gametree.h"

// Plays moves from the position after the move at from (the game's start for the empty
// path). Moves the game already has there are followed, main line or side line; the first
// that differs becomes a new side line of the move it replaces, or continues its line when
// that line ends there (the main line's continuation at its end). Into last, when given, the
// path of the last move. False when moves is empty or one of them is not legal.
bool addLine(GameTree& tree, const NodePath& from, const std::vector<Move>& moves,
             NodePath* last = nullptr);

// Promotes the side line holding the move at path one level: it takes the place of the
// moves it replaced, which become its first side line (in the place it had among its
// parent's side lines). toMainLine: as many levels as it takes to make it the main line.
// Into moved, when given, the move's new path. False for a move of the main line.
bool promoteLine(GameTree& tree, const NodePath& path, bool toMainLine, NodePath* moved = nullptr);

// Deletes the side line that holds the move at path, with all its side lines.
bool deleteLine(GameTree& tree, const NodePath& path);

// Deletes the move at path and every move after it in its line, with their side lines (a
// side line left without a move is deleted).
bool deleteFrom(GameTree& tree, const NodePath& path);

// Sets the comment before or after the move at path to text, in place of any it had; an
// empty text clears them. The empty path stands for the game's start: the comment before
// the first move (the game's comment when it has no move). False when text holds "}".
enum class CommentPlace { Before, After };
bool setComment(GameTree& tree, const NodePath& path, CommentPlace place, const std::string& text);

// The six move marks: glyph 1 "!", 2 "?", 3 "!!", 4 "??", 5 "!?", 6 "?!".
inline constexpr int NoMark = 0, LastMark = 6;
// Sets the move's mark (NoMark: none), taking off any other of the six; its other glyphs stay.
bool setMark(GameTree& tree, const NodePath& path, int mark);
// The move's mark, or NoMark.
int markOf(const MoveNode& node);

// A tree with its edits: undo and redo back to the loaded tree, and whether it differs
// from the last saved point.
class GameEditHistory {
public:
    explicit GameEditHistory(GameTree loaded = {});

    // Starts again from tree, as loaded and saved: no undo, not modified.
    void load(GameTree tree);
    const GameTree& tree() const { return m_states[m_at]; }

    // Each edit as the function of that name; an edit that changes nothing is not kept.
    bool addLine(const NodePath& from, const std::vector<Move>& moves, NodePath* last = nullptr);
    bool promoteLine(const NodePath& path, bool toMainLine, NodePath* moved = nullptr);
    bool deleteLine(const NodePath& path);
    bool deleteFrom(const NodePath& path);
    bool setComment(const NodePath& path, CommentPlace place, const std::string& text);
    bool setMark(const NodePath& path, int mark);
    // Replaces the tree by tree as one edit: a change made outside the tree (moves played,
    // the game's information edited) kept in step.
    bool replace(GameTree tree);
    // Puts tree in place of the current state without a step of its own: a detail that
    // belongs to the last edit (the clock time of a move just played), undone with it. The
    // states after it, if any, are dropped; a saved state changed so is not saved any more.
    void amend(GameTree tree);

    bool canUndo() const { return m_at > 0; }
    bool canRedo() const { return m_at + 1 < m_states.size(); }
    // False when there is nothing to undo or redo.
    bool undo();
    bool redo();

    // Whether the tree differs from the one last saved (or loaded).
    bool modified() const { return m_at != m_saved; }
    void markSaved() { m_saved = m_at; }
    // No state is the saved one: a game that is in no file yet stays modified.
    void markUnsaved() { m_saved = static_cast<std::size_t>(-1); }

private:
    template <class Edit>
    bool edit(Edit change);

    std::vector<GameTree> m_states; // the loaded tree and the tree after each edit kept
    std::size_t           m_at    = 0;
    std::size_t           m_saved = 0; // past the end: a state undone and dropped
};
