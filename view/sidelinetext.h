// The side lines of the game's moves as running text, as a printed game shows them: each line
// in brackets, its moves numbered from the game's start, its glyphs after its moves and its
// comments between them. A line nested in another stands in a paragraph of its own one level
// deeper, and the outer line goes on after it in a paragraph of its own. Each move is a link
// that names its path in the tree (pathLink), so that a click can show it.
#pragma once

#include <QString>
#include <vector>

#include "records/gametree.h"

struct SideLineParagraph {
    int     depth = 1; // 1: a side line of the main line
    QString html;      // rich text, its moves as links
    QString text;      // the same as plain text
};

// How moves are numbered: the colour of the game's first move and the number of its first
// full move (from the start's FEN).
struct MoveNumbering {
    int firstMover  = 0; // White or Black
    int startNumber = 1;
    // The number of the move after ply half-moves of the game, and whether Black makes it.
    int  number(int ply) const;
    bool blackMoves(int ply) const;
};

// The side lines of the main line's move at path {i}, each in its paragraphs; shown is the
// path of the move shown on the board (highlighted when it is one of them).
std::vector<SideLineParagraph> sideLineParagraphs(const GameTree& tree, int mainIndex,
                                                  const MoveNumbering& numbering,
                                                  const NodePath& shown);

// A line that the tree does not hold (research), from ply of the game, highlighted at its
// move shownIndex (0-based; -1 none). Its links are researchLink(k): the position after k+1
// of its moves.
SideLineParagraph researchParagraph(const std::vector<QString>& sans, int ply,
                                    const MoveNumbering& numbering, int shownIndex);

// A link's target: a path ("p:0.1.2") or a research move ("r:3").
QString  pathLink(const NodePath& path);
QString  researchLink(int count);
bool     linkPath(const QString& link, NodePath& path);
bool     linkResearch(const QString& link, int& count);

// The glyphs written after a move: the six marks as such, any other as " $n".
QString glyphsText(const std::vector<int>& nags);
// A comment as shown: the commands embedded for programs ("[%clk 0:05:00]") left out and the
// spaces made single.
QString commentShown(const std::string& text);
