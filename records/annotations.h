// The current game's comments, glyphs and side lines, read with it by the game parser and
// kept beside gameMoves, which holds the main line alone (copy and save write that alone).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/board.h"

enum class NoteKind : std::uint8_t { Comment, Glyph, LineBegins, LineEnds, Move };

// One annotation, in file order. Notes of the main line stand after the main-line move
// number ply (0: before the first move); a side line's notes come between its LineBegins
// and LineEnds, at the depth of its nesting.
struct GameNote {
    NoteKind     kind  = NoteKind::Comment;
    std::uint8_t depth = 0;  // 0 the main line, 1 a side line, 2 a side line in a side line...
    std::int32_t ply   = 0;  // main-line moves read before the note
    std::int32_t value = 0;  // Glyph: its number; Comment: where its text starts in text;
                             // Move: the note of the move before it in its line, -1 for none
    std::int32_t length = 0; // Comment: the length of its text; Move: the moves from root to it
    std::int32_t root   = 0; // Move: the main-line ply its line starts from
    Move         move{};     // Move: the move, legal in its line's position
    char         san[8] = {};
};

struct GameAnnotations {
    std::vector<GameNote> notes;
    std::string           text; // the comments' text, one after another

    void clear() {
        notes.clear();
        text.clear();
    }
    std::string_view commentOf(const GameNote& note) const {
        return std::string_view(text).substr(static_cast<std::size_t>(note.value),
                                             static_cast<std::size_t>(note.length));
    }
    // The moves from the side-line move note's root to it, into out (capacity moves at
    // most). Answers their number; 0 when index is no side-line move or they do not fit.
    int lineTo(std::size_t index, Move* out, int capacity) const;
};

extern GameAnnotations gameAnnotations;

// A side line starts from the position before the move it replaces, and its moves are
// replayed on the Board; one that is not legal there ends the line (what follows in it is
// dropped). Side lines nested deeper than this are dropped. The game parser reads them into
// the game tree, from which loadCurrentGame fills gameAnnotations (records/gametree.h).
inline constexpr int MaxSideLineDepth = 64;
