#include "records/gametreewrite.h"

#include "records/game.h"

namespace {

inline constexpr std::size_t LineWidth = 80;

std::string tagLine(const GameTag& tag) {
    std::string line(1, '[');
    line += tag.name;
    line += " \"";
    for (char c : tag.value) {
        if (c == '"' || c == '\\') line += '\\';
        line += c;
    }
    line += "\"]\n";
    return line;
}

// Tokens filled into lines of LineWidth columns, one space between two on a line.
class LineFill {
public:
    explicit LineFill(std::string& out) : m_out(out) {}

    void token(const std::string& text) {
        std::string word;
        if (m_open) word += '(';
        word += text;
        m_open                 = false;
        if (m_column > 0) {
            if (m_column + 1 + word.size() > LineWidth) {
                m_out += '\n';
                m_column = 0;
            } else {
                m_out += ' ';
                ++m_column;
            }
        }
        m_out += word;
        const std::size_t lineEnd = word.find_last_of('\n');
        m_column = lineEnd == std::string::npos ? m_column + word.size() : word.size() - lineEnd - 1;
    }
    // The "(" goes before the next token, the ")" after the last.
    void open() { m_open = true; }
    void close() {
        if (m_column + 1 > LineWidth) {
            m_out += '\n';
            m_column = 0;
        }
        m_out += ')';
        ++m_column;
    }

private:
    std::string& m_out;
    std::size_t  m_column = 0;
    bool         m_open   = false;
};

class MovetextWriter {
public:
    MovetextWriter(std::string& out, const GameStart& start) : m_fill(out), m_start(start) {}

    // line's first move is the game's half-move ply (counted from a White move before the
    // game's first).
    void line(const MoveLine& line, int ply) {
        bool numbered = true;
        for (const MoveNode& node : line.moves) {
            for (const std::string& text : node.commentsBefore) {
                comment(text);
                numbered = true;
            }
            std::string move;
            if (ply % 2 == 0 || numbered) {
                move = std::to_string(m_start.moveNumber + ply / 2);
                move += ply % 2 == 0 ? "." : "...";
            }
            move += node.san;
            m_fill.token(move);
            numbered = false;
            for (int nag : node.nags)
            {
                std::string glyph(1, '$');
                glyph += std::to_string(nag);
                m_fill.token(glyph);
            }
            for (const std::string& text : node.commentsAfter) {
                comment(text);
                numbered = true;
            }
            for (const MoveLine& side : node.variations) {
                m_fill.open();
                this->line(side, ply);
                m_fill.close();
                numbered = true;
            }
            ++ply;
        }
    }
    // A comment's text as it stands; a closing brace, which no comment can hold, is left out.
    void comment(const std::string& text) {
        std::string token = "{";
        for (char c : text)
            if (c != '}') token += c;
        token += '}';
        m_fill.token(token);
    }
    void token(const std::string& text) { m_fill.token(text); }

private:
    LineFill  m_fill;
    GameStart m_start;
};

} // namespace

std::string writeGameTree(const GameTree& tree) {
    std::string out;
    for (const GameTag& tag : writtenTags(tree))
        out += tagLine(tag);
    out += '\n';

    const GameStart start = gameStartOf(tree.startFen().c_str());
    const int       first = start.blackFirst ? 1 : 0;
    if (tree.plain()) {
        // As the record writer writes the main line.
        int k = 0;
        for (const MoveNode& node : tree.mainLine.moves) {
            const int ply = k + first;
            if (ply % 2 == 0)
                out += std::to_string(start.moveNumber + ply / 2) + ".";
            else if (k == 0)
                out += std::to_string(start.moveNumber) + "...";
            out += node.san;
            out += ++k % 10 == 0 ? '\n' : ' ';
        }
        return out + tree.termination + "\n\n";
    }
    MovetextWriter movetext(out, start);
    movetext.line(tree.mainLine, first);
    for (const std::string& text : tree.comments)
        movetext.comment(text);
    movetext.token(tree.termination);
    return out + "\n\n";
}
