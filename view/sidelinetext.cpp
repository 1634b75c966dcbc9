#include "view/sidelinetext.h"

#include <QGuiApplication>
#include <QPalette>
#include <QRegularExpression>
#include <QStringList>

#include "engine/board.h"

int MoveNumbering::number(int ply) const {
    return (ply + (firstMover == Black ? 1 : 0)) / 2 + startNumber;
}

bool MoveNumbering::blackMoves(int ply) const { return ((firstMover + ply) & 1) == Black; }

QString glyphsText(const std::vector<int>& nags) {
    static const char* const marks[] = {"!", "?", "!!", "??", "!?", "?!"};
    QString text;
    for (int nag : nags)
        text += nag >= 1 && nag <= 6 ? QString::fromLatin1(marks[nag - 1]) : QString(" $%1").arg(nag);
    return text;
}

QString commentShown(const std::string& text) {
    static const QRegularExpression command(R"(\[%[^\]]*\])");
    return QString::fromStdString(text).remove(command).simplified();
}

QString pathLink(const NodePath& path) {
    QStringList parts;
    for (int index : path)
        parts << QString::number(index);
    return "p:" + parts.join('.');
}

QString researchLink(int count) { return QString("r:%1").arg(count); }

bool linkPath(const QString& link, NodePath& path) {
    if (!link.startsWith("p:")) return false;
    path.clear();
    const QStringList parts = link.mid(2).split('.', Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        bool ok    = false;
        const int index = part.toInt(&ok);
        if (!ok || index < 0) return false;
        path.push_back(index);
    }
    return true;
}

bool linkResearch(const QString& link, int& count) {
    if (!link.startsWith("r:")) return false;
    bool ok = false;
    count   = link.mid(2).toInt(&ok);
    return ok && count > 0;
}

namespace {

const char* const CommentColour  = "#006400";
const char* const ResearchColour = "#00008b";

QString colour(QPalette::ColorRole role) { return QGuiApplication::palette().color(role).name(); }

// A move as a link, on the highlight's colours when it is the one shown.
QString moveLink(const QString& target, const QString& text, bool here, const QString& ink) {
    const QString link = QString("<a href=\"%1\" style=\"text-decoration:none;color:%2\">%3</a>")
                             .arg(target, here ? colour(QPalette::HighlightedText) : ink,
                                  text.toHtmlEscaped());
    return here ? QString("<span style=\"background-color:%1\">%2</span>").arg(colour(QPalette::Highlight), link)
                : link;
}

// Writes the paragraphs of one bracketed line, nested lines in their own.
class LineWriter {
public:
    LineWriter(const MoveNumbering& numbering, const NodePath& shown,
               std::vector<SideLineParagraph>& out)
        : m_numbering(numbering), m_shown(shown), m_out(out) {}

    // line starts at ply of the game; prefix + {j} is the path of its move j.
    void write(const MoveLine& line, const NodePath& prefix, int ply, int depth) {
        Paragraph paragraph(depth);
        paragraph.add("(", "(");
        bool numbered = false; // whether a Black move needs no number of its own
        for (std::size_t j = 0; j < line.moves.size(); ++j) {
            const MoveNode& node = line.moves[j];
            NodePath        path = prefix;
            path.push_back(static_cast<int>(j));
            const int at = ply + static_cast<int>(j);
            for (const std::string& comment : node.commentsBefore)
                numbered &= !paragraph.comment(comment);
            QString number;
            if (!m_numbering.blackMoves(at)) number = QString("%1. ").arg(m_numbering.number(at));
            else if (!numbered) number = QString("%1... ").arg(m_numbering.number(at));
            const QString san  = QString::fromStdString(node.san) + glyphsText(node.nags);
            const bool    here = path == m_shown;
            const QString html = moveLink(pathLink(path), number + san, here, colour(QPalette::Text));
            paragraph.add(number + san, html);
            numbered = true;
            for (const std::string& comment : node.commentsAfter)
                numbered &= !paragraph.comment(comment);
            if (!node.variations.empty()) {
                paragraph.flush(m_out);
                for (std::size_t v = 0; v < node.variations.size(); ++v) {
                    NodePath inner = path;
                    inner.push_back(static_cast<int>(v));
                    write(node.variations[v], inner, at, depth + 1);
                }
                paragraph = Paragraph(depth);
                numbered  = false;
            }
        }
        paragraph.add(")", ")", false);
        paragraph.flush(m_out);
    }

private:
    struct Paragraph {
        explicit Paragraph(int level) : depth(level) {}
        int     depth;
        QString text, html;
        bool    hasMoves = false;

        void add(const QString& plain, const QString& rich, bool spaced = true) {
            if (spaced && !text.isEmpty() && !text.endsWith('(')) {
                text += ' ';
                html += ' ';
            }
            text += plain;
            html += rich;
            if (plain != ")") hasMoves = true;
        }
        // False when the comment shows nothing.
        bool comment(const std::string& raw) {
            const QString shown = commentShown(raw);
            if (shown.isEmpty()) return false;
            add(shown, QString("<span style=\"color:%1\">%2</span>").arg(CommentColour, shown.toHtmlEscaped()));
            return true;
        }
        // Into out; a paragraph of nothing but the closing bracket joins the one before.
        void flush(std::vector<SideLineParagraph>& out) {
            if (text.isEmpty()) return;
            if (!hasMoves && !out.empty()) {
                out.back().text += text;
                out.back().html += html;
            } else {
                out.push_back({depth, html, text});
            }
            text.clear();
            html.clear();
            hasMoves = false;
        }
    };

    const MoveNumbering&            m_numbering;
    const NodePath&                 m_shown;
    std::vector<SideLineParagraph>& m_out;
};

} // namespace

std::vector<SideLineParagraph> sideLineParagraphs(const GameTree& tree, int mainIndex,
                                                  const MoveNumbering& numbering,
                                                  const NodePath& shown) {
    std::vector<SideLineParagraph> out;
    const auto& moves = tree.mainLine.moves;
    if (mainIndex < 0 || static_cast<std::size_t>(mainIndex) >= moves.size()) return out;
    const MoveNode& node = moves[static_cast<std::size_t>(mainIndex)];
    LineWriter      writer(numbering, shown, out);
    for (std::size_t v = 0; v < node.variations.size(); ++v)
        writer.write(node.variations[v], {mainIndex, static_cast<int>(v)}, mainIndex, 1);
    return out;
}

SideLineParagraph researchParagraph(const std::vector<QString>& sans, int ply,
                                    const MoveNumbering& numbering, int shownIndex) {
    SideLineParagraph paragraph;
    paragraph.text = "(";
    paragraph.html = "(";
    for (std::size_t k = 0; k < sans.size(); ++k) {
        const int at = ply + static_cast<int>(k);
        QString   number;
        if (!numbering.blackMoves(at)) number = QString("%1. ").arg(numbering.number(at));
        else if (k == 0) number = QString("%1... ").arg(numbering.number(at));
        const bool here = static_cast<int>(k) == shownIndex;
        const QString html =
            moveLink(researchLink(static_cast<int>(k) + 1), number + sans[k], here, ResearchColour);
        if (k > 0) {
            paragraph.text += ' ';
            paragraph.html += ' ';
        }
        paragraph.text += number + sans[k];
        paragraph.html += html;
    }
    paragraph.text += ')';
    paragraph.html += ')';
    return paragraph;
}
