#include "records/annotations.h"

#include <algorithm>

#include "engine/makemove.h"
#include "records/game.h"
#include "records/san.h"

GameAnnotations gameAnnotations;

int GameAnnotations::lineTo(std::size_t index, Move* out, int capacity) const {
    if (index >= notes.size() || notes[index].kind != NoteKind::Move) return 0;
    const int count = notes[index].length;
    if (count > capacity) return 0;
    int at = static_cast<int>(index);
    for (int k = count - 1; k >= 0 && at >= 0; --k) {
        out[k] = notes[static_cast<std::size_t>(at)].move;
        at     = notes[static_cast<std::size_t>(at)].value;
    }
    return count;
}

GameNote& AnnotationReader::add(NoteKind kind) {
    GameNote& note = m_out.notes.emplace_back();
    note.kind      = kind;
    note.depth     = static_cast<std::uint8_t>(m_lines.size());
    note.ply       = m_mainPly;
    return note;
}

void AnnotationReader::sideMove(const char* text, int length) {
    if (dropping() || m_lines.empty()) return;
    Line& line = m_lines.back();
    Move  move{};
    // A research line holds one move less than a game, and its end mark.
    if (line.length + 1 > MaxGameMoves - 2 || !sanToMove(text, length - 1, &move)) {
        line.dead = true;
        return;
    }
    GameNote& note = add(NoteKind::Move);
    moveToSan(move, note.san);
    makeMove(move);
    note.move     = move;
    note.value    = line.lastNote;
    note.length   = line.length + 1;
    note.root     = line.root;
    line.prevNote = line.lastNote;
    line.lastNote = static_cast<int>(m_out.notes.size()) - 1;
    line.last     = move;
    line.hasLast  = true;
    ++line.length;
}

void AnnotationReader::commentText(const char* text, std::size_t n) {
    if (dropping()) return;
    if (!m_commentOpen) m_commentStart = m_out.text.size();
    m_commentOpen = true;
    m_out.text.append(text, n);
}

void AnnotationReader::commentEnds() {
    if (!m_commentOpen) return;
    m_commentOpen  = false;
    GameNote& note = add(NoteKind::Comment);
    note.value     = static_cast<std::int32_t>(m_commentStart);
    note.length    = static_cast<std::int32_t>(m_out.text.size() - m_commentStart);
}

void AnnotationReader::nag(int number) {
    if (!dropping()) add(NoteKind::Glyph).value = number;
}

void AnnotationReader::variationBegins() {
    if (m_tooDeep > 0 || static_cast<int>(m_lines.size()) == MaxSideLineDepth) {
        ++m_tooDeep;
        return;
    }
    Line line;
    line.saved = board;
    if (m_lines.empty()) {
        // It replaces the main line's last move.
        line.dead = m_mainPly == 0;
        line.root = std::max(m_mainPly - 1, 0);
        if (!line.dead) unmakeMove(m_lastMain);
    } else {
        const Line& parent = m_lines.back();
        line.dead          = parent.dead || !parent.hasLast;
        line.root          = parent.root;
        line.lastNote      = parent.prevNote;
        line.length        = parent.length - 1;
        if (!line.dead) unmakeMove(parent.last);
    }
    m_lines.push_back(line);
    add(NoteKind::LineBegins);
}

void AnnotationReader::variationEnds() {
    if (m_tooDeep > 0) {
        --m_tooDeep;
        return;
    }
    if (m_lines.empty()) return;
    add(NoteKind::LineEnds);
    board = m_lines.back().saved;
    m_lines.pop_back();
}

void AnnotationReader::variationDamaged() {
    if (m_tooDeep == 0 && !m_lines.empty()) m_lines.back().dead = true;
}
