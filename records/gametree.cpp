#include "records/gametree.h"

#include <algorithm>
#include <cstring>

#include "engine/boardkeeper.h"
#include "engine/makemove.h"
#include "records/annotations.h"
#include "records/game.h"
#include "records/pgnread.h"
#include "records/pgntags.h"
#include "records/pgnwrite.h"

bool MoveLine::operator==(const MoveLine& other) const { return moves == other.moves; }

bool MoveNode::operator==(const MoveNode& other) const {
    return move.fromTo == other.move.fromTo && move.piece == other.move.piece &&
           move.flags == other.move.flags && san == other.san && nags == other.nags &&
           commentsBefore == other.commentsBefore && commentsAfter == other.commentsAfter &&
           variations == other.variations;
}

std::string GameTree::tag(const char* name) const {
    for (const GameTag& t : tags)
        if (t.name == name) return t.value;
    return {};
}

namespace {

bool plainLine(const MoveLine& line) {
    for (const MoveNode& node : line.moves)
        if (!node.nags.empty() || !node.commentsBefore.empty() || !node.commentsAfter.empty() ||
            !node.variations.empty())
            return false;
    return true;
}

} // namespace

bool GameTree::plain() const { return comments.empty() && plainLine(mainLine); }

std::vector<GameTag> writtenTags(const GameTree& tree) {
    static constexpr const char* roster[] = {"Event", "Site", "Date", "Round", "White", "Black"};
    std::string          rosterValues[6];
    std::string          eco, fen;
    std::vector<GameTag> others;
    GameTags             seen;
    for (const GameTag& t : tree.tags) {
        const int    length = static_cast<int>(std::min<std::size_t>(t.name.size(), MaxTagText));
        const PgnTag name   = seen.take(t.name.c_str(), length);
        switch (name) {
        case PgnTag::Event: rosterValues[0] = t.value; break;
        case PgnTag::Site: rosterValues[1] = t.value; break;
        case PgnTag::Date: rosterValues[2] = t.value; break;
        case PgnTag::Round: rosterValues[3] = t.value; break;
        case PgnTag::WhiteName: rosterValues[4] = t.value; break;
        case PgnTag::BlackName: rosterValues[5] = t.value; break;
        case PgnTag::Fen: fen = t.value; break;
        case PgnTag::Eco:
            if (ecoIndexOf(t.value.c_str(), static_cast<int>(t.value.size())) != NoEco)
                eco = t.value.substr(0, 3);
            else
                others.push_back(t);
            break;
        case PgnTag::Result:
        case PgnTag::SetUp: break;
        case PgnTag::Repeated: {
            // Not those written from the game, nor a FEN after an empty one (no empty FEN is
            // written, so the later one would count when read back).
            const PgnTag again = tagNameOf(t.name.c_str(), length);
            if (again != PgnTag::Result && again != PgnTag::SetUp && !(again == PgnTag::Fen && fen.empty()) &&
                !t.value.empty())
                others.push_back(t);
            break;
        }
        case PgnTag::Variant:
            // Kept even empty: a later Variant tag, written after it, must not count instead.
            others.push_back(t);
            break;
        default:
            if (!t.name.empty() && !t.value.empty()) others.push_back(t);
            break;
        }
    }
    std::vector<GameTag> out;
    for (int i = 0; i < 6; ++i)
        out.push_back({roster[i], rosterValues[i].empty() ? "-" : rosterValues[i]});
    out.push_back({"Result", tree.termination});
    if (!eco.empty()) out.push_back({"ECO", eco});
    if (!fen.empty()) {
        out.push_back({"SetUp", "1"});
        out.push_back({"FEN", fen});
    }
    out.insert(out.end(), others.begin(), others.end());
    return out;
}

bool sameGame(const GameTree& a, const GameTree& b) {
    return writtenTags(a) == writtenTags(b) && a.mainLine == b.mainLine && a.comments == b.comments &&
           a.termination == b.termination;
}

namespace {

template <class Tree, class Line>
Line* lineOfPath(Tree& tree, const NodePath& path, int& index) {
    Line* line = &tree.mainLine;
    index      = -1;
    if (path.empty()) return line;
    if (path.size() % 2 == 0) return nullptr;
    for (std::size_t k = 0;; k += 2) {
        const int at = path[k];
        if (at < 0 || at >= static_cast<int>(line->moves.size())) return nullptr;
        if (k + 1 == path.size()) {
            index = at;
            return line;
        }
        auto&     variations = line->moves[static_cast<std::size_t>(at)].variations;
        const int v          = path[k + 1];
        if (v < 0 || v >= static_cast<int>(variations.size())) return nullptr;
        line = &variations[static_cast<std::size_t>(v)];
    }
}

} // namespace

const MoveLine* lineAt(const GameTree& tree, const NodePath& path, int& index) {
    return lineOfPath<const GameTree, const MoveLine>(tree, path, index);
}

MoveLine* lineAt(GameTree& tree, const NodePath& path, int& index) {
    return lineOfPath<GameTree, MoveLine>(tree, path, index);
}

const MoveNode* nodeAt(const GameTree& tree, const NodePath& path) {
    int             index = -1;
    const MoveLine* line  = lineAt(tree, path, index);
    return line && index >= 0 ? &line->moves[static_cast<std::size_t>(index)] : nullptr;
}

MoveNode* nodeAt(GameTree& tree, const NodePath& path) {
    int       index = -1;
    MoveLine* line  = lineAt(tree, path, index);
    return line && index >= 0 ? &line->moves[static_cast<std::size_t>(index)] : nullptr;
}

std::vector<Move> mainLineMoves(const GameTree& tree) {
    std::vector<Move> moves;
    moves.reserve(tree.mainLine.moves.size());
    for (const MoveNode& node : tree.mainLine.moves)
        moves.push_back(node.move);
    return moves;
}

std::vector<Move> lineTo(const GameTree& tree, const NodePath& path) {
    std::vector<Move> moves;
    if (!path.empty() && !nodeAt(tree, path)) return moves;
    const MoveLine* line = &tree.mainLine;
    for (std::size_t k = 0; k < path.size(); k += 2) {
        const int at = path[k];
        // A side line replaces the move it hangs on: the moves before that one lead to it.
        const int upTo = k + 1 == path.size() ? at + 1 : at;
        for (int i = 0; i < upTo; ++i)
            moves.push_back(line->moves[static_cast<std::size_t>(i)].move);
        if (k + 1 < path.size())
            line = &line->moves[static_cast<std::size_t>(at)].variations[static_cast<std::size_t>(path[k + 1])];
    }
    return moves;
}

bool positionAt(const GameTree& tree, const NodePath& path, Board& out) {
    if (!path.empty() && !nodeAt(tree, path)) return false;
    BoardKeeper       keeper;
    const std::string fen = tree.startFen();
    if (!setupStartFrom(fen.c_str())) return false;
    for (const Move& move : lineTo(tree, path))
        makeMove(move);
    out = board;
    return true;
}

namespace {

// Writes value into out with the escapes of a tag value: "\"" for a quote, "\\\\" for a backslash.
std::string escapedTagValue(const std::string& value) {
    std::string out;
    for (char c : value) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

// The header of the current game from the tags, as the game parser has always taken them.
class HeaderFill {
public:
    void take(const GameTag& t) {
        const int   nameLength = static_cast<int>(std::min<std::size_t>(t.name.size(), MaxTagText));
        const char* value      = t.value.c_str();
        char*       field      = nullptr;
        switch (m_tags.take(t.name.c_str(), nameLength)) {
        case PgnTag::Event: field = gameHeader.event; break;
        case PgnTag::Site: field = gameHeader.site; break;
        case PgnTag::Date: field = gameHeader.date; break;
        case PgnTag::Round: field = gameHeader.round; break;
        case PgnTag::WhiteName: field = gameHeader.white; break;
        case PgnTag::BlackName: field = gameHeader.black; break;
        case PgnTag::Fen: field = gameHeader.fen; break;
        case PgnTag::Eco: {
            // A code goes into the info word (the writer writes it from there); a value that is
            // no code is kept as it stands, so that a later ECO tag cannot take its place.
            const int eco = ecoIndexOf(value, static_cast<int>(t.value.size()));
            if (eco != NoEco)
                gameHeader.info = static_cast<std::uint16_t>((gameHeader.info & ~EcoMask) | eco);
            else
                appendOtherTag(t);
            break;
        }
        case PgnTag::Result:
        case PgnTag::SetUp:
            // Written again from the game: the result from its termination token, SetUp from
            // its FEN tag.
            break;
        case PgnTag::Repeated: {
            // A later tag of a name the game has had counts for nothing; it is kept as it
            // stands, after the first, so that a written game reads back the same. Not those
            // written again from the game, nor a FEN after an empty one.
            const PgnTag again = tagNameOf(t.name.c_str(), nameLength);
            if (again != PgnTag::Result && again != PgnTag::SetUp &&
                !(again == PgnTag::Fen && gameHeader.fen[0] == '\0'))
                appendOtherTag(t);
            break;
        }
        case PgnTag::Variant:
            // Kept even empty: a later Variant tag, written after it, must not count instead.
            m_otherVariant = !standardVariant(value);
            appendOtherTag(t);
            break;
        default:
            if (!t.name.empty() && !t.value.empty()) appendOtherTag(t);
            break;
        }
        if (field) {
            const std::size_t n = std::min<std::size_t>(t.value.size(), TagFieldSize - 1);
            std::memcpy(field, value, n);
            field[n] = '\0';
        }
    }
    bool otherVariant() const { return m_otherVariant; }

private:
    // A tag line goes in whole or not at all, so that otherTags never ends in a broken line.
    void appendOtherTag(const GameTag& t) {
        const std::string line = "[" + t.name + " \"" + escapedTagValue(t.value) + "\"]\n";
        if (m_length + line.size() >= OtherTagsSize) return;
        std::memcpy(gameHeader.otherTags + m_length, line.data(), line.size());
        m_length += line.size();
        gameHeader.otherTags[m_length] = '\0';
    }

    GameTags    m_tags{};
    std::size_t m_length       = 0;
    bool        m_otherVariant = false;
};

// The annotations of the current game from the tree, in the order the writer writes them.
class NotesFill {
public:
    explicit NotesFill(GameAnnotations& out) : m_out(out) {}

    void mainLine(const MoveLine& line) {
        const int count = static_cast<int>(std::min<std::size_t>(line.moves.size(), MaxGameMoves));
        for (int i = 0; i < count; ++i) {
            const MoveNode& node = line.moves[static_cast<std::size_t>(i)];
            comments(node.commentsBefore, 0, i);
            glyphs(node.nags, 0, i + 1);
            comments(node.commentsAfter, 0, i + 1);
            for (const MoveLine& side : node.variations)
                sideLine(side, 1, i + 1, i, -1, 0);
        }
    }
    void comments(const std::vector<std::string>& texts, int depth, int ply) {
        for (const std::string& text : texts) {
            GameNote& note = add(NoteKind::Comment, depth, ply);
            note.value     = static_cast<std::int32_t>(m_out.text.size());
            note.length    = static_cast<std::int32_t>(text.size());
            m_out.text += text;
        }
    }

private:
    GameNote& add(NoteKind kind, int depth, int ply) {
        GameNote& note = m_out.notes.emplace_back();
        note.kind      = kind;
        note.depth     = static_cast<std::uint8_t>(depth);
        note.ply       = ply;
        return note;
    }
    void glyphs(const std::vector<int>& nags, int depth, int ply) {
        for (int number : nags)
            add(NoteKind::Glyph, depth, ply).value = number;
    }
    // A side line at depth, its notes standing at the main line's ply; root: the main-line
    // ply it starts from; before, length: the note of the move before its first and the moves
    // from the root to that one.
    void sideLine(const MoveLine& line, int depth, int ply, int root, int before, int length) {
        if (depth > MaxSideLineDepth) return;
        add(NoteKind::LineBegins, depth, ply);
        int last = before, previous = -1;
        for (const MoveNode& node : line.moves) {
            comments(node.commentsBefore, depth, ply);
            GameNote& note = add(NoteKind::Move, depth, ply);
            note.move      = node.move;
            std::strncpy(note.san, node.san.c_str(), sizeof note.san - 1);
            note.value  = last;
            note.length = ++length;
            note.root   = root;
            previous    = last;
            last        = static_cast<int>(m_out.notes.size()) - 1;
            glyphs(node.nags, depth, ply);
            comments(node.commentsAfter, depth, ply);
            for (const MoveLine& side : node.variations)
                sideLine(side, depth + 1, ply, root, previous, length - 1);
        }
        add(NoteKind::LineEnds, depth, ply);
    }

    GameAnnotations& m_out;
};

} // namespace

void loadCurrentGame(const GameTree& tree) {
    std::memset(&gameHeader, 0, sizeof gameHeader);
    gameHeader.info = NoEco;
    std::memset(gameMoves, 0, sizeof gameMoves);
    gamePly = 0;
    gameAnnotations.clear();

    HeaderFill header;
    for (const GameTag& t : tree.tags)
        header.take(t);
    const int result = tree.termination == "1-0"       ? WhiteWon
                       : tree.termination == "0-1"     ? BlackWon
                       : tree.termination == "1/2-1/2" ? Drawn
                                                       : 0;
    gameHeader.info = static_cast<std::uint16_t>((gameHeader.info & ~ResultMask) | result);
    gameHeader.otherTags[OtherTagsSize - 1] = '\0';

    const std::size_t count = std::min<std::size_t>(tree.mainLine.moves.size(), MaxGameMoves);
    for (std::size_t i = 0; i < count; ++i)
        gameMoves[i] = tree.mainLine.moves[i].move;

    NotesFill notes(gameAnnotations);
    notes.mainLine(tree.mainLine);
    notes.comments(tree.comments, 0, static_cast<int>(count));

    if (header.otherVariant() || !setupGameStart()) setupStartKeepingMoves();
}

GameTree treeOfCurrentGame() {
    BoardKeeper keeper;
    std::string text(GameRecordSize, '\0');
    writeGameRecord(text.data(), text.size());
    GameTree tree;
    parseGameTree(text.c_str(), text.size(), tree);
    return tree;
}
