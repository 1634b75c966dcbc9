#include "records/gameedits.h"

#include <utility>

#include "engine/boardkeeper.h"
#include "engine/makemove.h"
#include "engine/movegen.h"
#include "engine/search.h"
#include "records/game.h"
#include "records/san.h"

namespace {

// The legal move of the Board's side to move that moves as move does (same squares, piece and
// promotion), or false.
bool legalMoveLike(const Move& move, Move& legal) {
    Move        moves[MaxMovesPerPly];
    const Move* end = genAllMoves(board.sideToMove, moves);
    for (const Move* m = moves; m < end; ++m)
        if (m->fromTo == move.fromTo && m->piece == move.piece &&
            promotionType(*m) == promotionType(move) && !leavesKingAttacked(*m)) {
            legal = *m;
            return true;
        }
    return false;
}

bool sameMoveAs(const Move& a, const Move& b) {
    return a.fromTo == b.fromTo && a.piece == b.piece && promotionType(a) == promotionType(b);
}

// The path without its last index: the path of the line a move stands in, less its index.
NodePath parentOf(const NodePath& path) { return NodePath(path.begin(), path.end() - 1); }

// The line a path's prefix addresses: the main line for the empty one, else side line v of
// the move the prefix [..., k, v] leads to.
MoveLine* lineOfPrefix(GameTree& tree, const NodePath& prefix) {
    if (prefix.empty()) return &tree.mainLine;
    return &nodeAt(tree, parentOf(prefix))->variations[static_cast<std::size_t>(prefix.back())];
}

NodePath with(NodePath path, std::initializer_list<int> more) {
    path.insert(path.end(), more);
    return path;
}

} // namespace

bool addLine(GameTree& tree, const NodePath& from, const std::vector<Move>& moves, NodePath* last) {
    if (moves.empty()) return false;
    Board start;
    if (!positionAt(tree, from, start)) return false;
    // Check every move first: the tree is changed only for a legal line.
    std::vector<Move> legal;
    {
        BoardKeeper keeper;
        board = start;
        for (const Move& move : moves) {
            Move checked{};
            if (!legalMoveLike(move, checked)) return false;
            legal.push_back(checked);
            makeMove(checked);
        }
    }
    BoardKeeper keeper;
    board = start;
    // The line the next move goes into and its index there; prefix addresses that line.
    NodePath prefix = from.empty() ? NodePath{} : parentOf(from);
    int      next   = from.empty() ? 0 : from.back() + 1;
    NodePath at;
    for (const Move& move : legal) {
        MoveLine* line = lineOfPrefix(tree, prefix);
        bool followed = false;
        if (next < static_cast<int>(line->moves.size())) {
            MoveNode& there = line->moves[static_cast<std::size_t>(next)];
            if (sameMoveAs(there.move, move)) {
                at       = with(prefix, {next});
                followed = true;
            } else {
                for (std::size_t v = 0; v < there.variations.size() && !followed; ++v)
                    if (!there.variations[v].moves.empty() && sameMoveAs(there.variations[v].moves[0].move, move)) {
                        prefix   = with(prefix, {next, static_cast<int>(v)});
                        next     = 0;
                        at       = with(prefix, {0});
                        followed = true;
                    }
                if (!followed) {
                    MoveLine& side = there.variations.emplace_back();
                    prefix         = with(prefix, {next, static_cast<int>(there.variations.size()) - 1});
                    next           = 0;
                    line           = &side;
                }
            }
        }
        if (!followed) {
            MoveNode node;
            char     san[8];
            moveToSan(move, san);
            node.move = move;
            node.san  = san;
            line->moves.push_back(std::move(node));
            at = with(prefix, {next});
        }
        makeMove(move);
        ++next;
    }
    if (last) *last = at;
    return true;
}

namespace {

// One level: the side line at path's end takes its parent's place.
bool promoteOnce(GameTree& tree, NodePath& path) {
    if (path.size() < 3) return false;
    const int      j      = path[path.size() - 1];
    const int      v      = path[path.size() - 2];
    const int      k      = path[path.size() - 3];
    const NodePath parent = NodePath(path.begin(), path.end() - 2);
    int            index  = -1;
    MoveLine*      line   = lineAt(tree, parent, index);
    if (!line || index != k) return false;
    MoveNode& replaced = line->moves[static_cast<std::size_t>(k)];
    if (v < 0 || v >= static_cast<int>(replaced.variations.size())) return false;

    std::vector<MoveLine> others = std::move(replaced.variations);
    MoveLine              side   = std::move(others[static_cast<std::size_t>(v)]);
    replaced.variations.clear();
    MoveLine rest;
    rest.moves.assign(std::make_move_iterator(line->moves.begin() + k),
                      std::make_move_iterator(line->moves.end()));
    line->moves.erase(line->moves.begin() + k, line->moves.end());
    // The replaced moves stand where the side line stood among the side lines, and the side
    // line's own first move's side lines follow.
    others[static_cast<std::size_t>(v)] = std::move(rest);
    MoveNode& first = side.moves.front();
    for (MoveLine& own : first.variations)
        others.push_back(std::move(own));
    first.variations = std::move(others);
    for (MoveNode& node : side.moves)
        line->moves.push_back(std::move(node));
    path = with(NodePath(path.begin(), path.end() - 3), {k + j});
    return true;
}

} // namespace

bool promoteLine(GameTree& tree, const NodePath& path, bool toMainLine, NodePath* moved) {
    if (!nodeAt(tree, path) || path.size() < 3) return false;
    NodePath at = path;
    promoteOnce(tree, at);
    while (toMainLine && at.size() > 1 && promoteOnce(tree, at)) {
    }
    if (moved) *moved = at;
    return true;
}

bool deleteLine(GameTree& tree, const NodePath& path) {
    if (!nodeAt(tree, path) || path.size() < 3) return false;
    MoveNode* owner = nodeAt(tree, NodePath(path.begin(), path.end() - 2));
    owner->variations.erase(owner->variations.begin() + path[path.size() - 2]);
    return true;
}

bool deleteFrom(GameTree& tree, const NodePath& path) {
    int       index = -1;
    MoveLine* line  = lineAt(tree, path, index);
    if (!line || index < 0) return false;
    if (index == 0 && path.size() >= 3) return deleteLine(tree, path);
    line->moves.erase(line->moves.begin() + index, line->moves.end());
    return true;
}

bool setComment(GameTree& tree, const NodePath& path, CommentPlace place, const std::string& text) {
    if (text.find('}') != std::string::npos) return false;
    std::vector<std::string>* comments = nullptr;
    if (path.empty())
        comments = tree.mainLine.moves.empty() ? &tree.comments : &tree.mainLine.moves[0].commentsBefore;
    else if (MoveNode* node = nodeAt(tree, path))
        comments = place == CommentPlace::Before ? &node->commentsBefore : &node->commentsAfter;
    if (!comments) return false;
    comments->clear();
    if (!text.empty()) comments->push_back(text);
    return true;
}

int markOf(const MoveNode& node) {
    for (int nag : node.nags)
        if (nag >= 1 && nag <= LastMark) return nag;
    return NoMark;
}

bool setMark(GameTree& tree, const NodePath& path, int mark) {
    MoveNode* node = nodeAt(tree, path);
    if (!node || mark < NoMark || mark > LastMark) return false;
    std::erase_if(node->nags, [](int nag) { return nag >= 1 && nag <= LastMark; });
    if (mark != NoMark) node->nags.insert(node->nags.begin(), mark);
    return true;
}

GameEditHistory::GameEditHistory(GameTree loaded) { m_states.push_back(std::move(loaded)); }

void GameEditHistory::load(GameTree tree) {
    m_states.clear();
    m_states.push_back(std::move(tree));
    m_at = m_saved = 0;
}

template <class Edit>
bool GameEditHistory::edit(Edit change) {
    GameTree next = m_states[m_at];
    if (!change(next)) return false;
    if (sameGame(next, m_states[m_at])) return true;
    m_states.resize(m_at + 1);
    if (m_saved > m_at) m_saved = static_cast<std::size_t>(-1); // undone, never reached again
    m_states.push_back(std::move(next));
    ++m_at;
    return true;
}

bool GameEditHistory::addLine(const NodePath& from, const std::vector<Move>& moves, NodePath* last) {
    return edit([&](GameTree& t) { return ::addLine(t, from, moves, last); });
}
bool GameEditHistory::promoteLine(const NodePath& path, bool toMainLine, NodePath* moved) {
    return edit([&](GameTree& t) { return ::promoteLine(t, path, toMainLine, moved); });
}
bool GameEditHistory::deleteLine(const NodePath& path) {
    return edit([&](GameTree& t) { return ::deleteLine(t, path); });
}
bool GameEditHistory::deleteFrom(const NodePath& path) {
    return edit([&](GameTree& t) { return ::deleteFrom(t, path); });
}
bool GameEditHistory::setComment(const NodePath& path, CommentPlace place, const std::string& text) {
    return edit([&](GameTree& t) { return ::setComment(t, path, place, text); });
}
bool GameEditHistory::setMark(const NodePath& path, int mark) {
    return edit([&](GameTree& t) { return ::setMark(t, path, mark); });
}

bool GameEditHistory::replace(GameTree tree) {
    return edit([&](GameTree& t) {
        t = std::move(tree);
        return true;
    });
}

void GameEditHistory::amend(GameTree tree) {
    if (sameGame(tree, m_states[m_at])) return;
    m_states.resize(m_at + 1);
    if (m_saved >= m_at) m_saved = static_cast<std::size_t>(-1);
    m_states[m_at] = std::move(tree);
}

bool GameEditHistory::undo() {
    if (!canUndo()) return false;
    --m_at;
    return true;
}

bool GameEditHistory::redo() {
    if (!canRedo()) return false;
    ++m_at;
    return true;
}
