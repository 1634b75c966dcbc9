#include "review/graphpoints.h"

#include <cmath>
#include <cstring>

#include "records/annotations.h"
#include "records/game.h"
#include "review/expectedscore.h"
#include "review/reviewer.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The argument of the first [%name ...] command of text, blanks around it taken off; none
// when text holds no such command or it is not closed.
std::optional<std::string_view> commandArgument(std::string_view text, std::string_view name) {
    for (std::size_t at = text.find("[%"); at != std::string_view::npos;
         at             = text.find("[%", at + 2)) {
        std::size_t k = at + 2;
        if (text.compare(k, name.size(), name) != 0) continue;
        k += name.size();
        if (k >= text.size() || !isBlank(text[k])) continue;
        const std::size_t end = text.find(']', k);
        if (end == std::string_view::npos) return std::nullopt;
        std::string_view argument = text.substr(k, end - k);
        while (!argument.empty() && isBlank(argument.front()))
            argument.remove_prefix(1);
        while (!argument.empty() && isBlank(argument.back()))
            argument.remove_suffix(1);
        return argument;
    }
    return std::nullopt;
}

// Reads digits from text at k into value (at most maxDigits of them, at least one).
bool readDigits(std::string_view text, std::size_t& k, long long& value, int maxDigits = 9) {
    const std::size_t start = k;
    value                   = 0;
    while (k < text.size() && isDigit(text[k])) {
        if (static_cast<int>(k - start) >= maxDigits) return false;
        value = value * 10 + (text[k] - '0');
        ++k;
    }
    return k > start;
}

// A decimal number without sign and exponent, "12", "0.31", ".5" not allowed: the whole of
// text.
std::optional<double> readDecimal(std::string_view text) {
    std::size_t k = 0;
    long long   whole;
    if (!readDigits(text, k, whole)) return std::nullopt;
    double value = static_cast<double>(whole);
    if (k < text.size() && text[k] == '.') {
        ++k;
        double scale = 0.1;
        if (k >= text.size()) return std::nullopt;
        for (; k < text.size() && isDigit(text[k]) && scale > 1e-9; ++k, scale /= 10)
            value += (text[k] - '0') * scale;
    }
    if (k != text.size()) return std::nullopt;
    return value;
}

// The value of tag name among the lines of otherTags ([Name "value"] each), or empty.
std::string tagValue(const char* otherTags, std::string_view name) {
    const std::string_view tags(otherTags, strnlen(otherTags, OtherTagsSize));
    for (std::size_t line = 0; line < tags.size();) {
        std::size_t end = tags.find('\n', line);
        if (end == std::string_view::npos) end = tags.size();
        const std::string_view text = tags.substr(line, end - line);
        line                        = end + 1;
        if (text.size() < name.size() + 4 || text[0] != '[' ||
            text.compare(1, name.size(), name) != 0 || text[1 + name.size()] != ' ')
            continue;
        const std::size_t open  = text.find('"');
        const std::size_t close = text.rfind('"');
        if (open == std::string_view::npos || close <= open) return {};
        return std::string(text.substr(open + 1, close - open - 1));
    }
    return {};
}

MoveMark glyphMark(int glyph) {
    switch (glyph) {
    case 1:
    case 3:
        return MoveMark::Good;
    case 6:
        return MoveMark::Inaccuracy;
    case 2:
        return MoveMark::Mistake;
    case 4:
        return MoveMark::Blunder;
    default:
        return MoveMark::None;
    }
}

} // namespace

std::optional<UciScore> readEvalCommand(std::string_view comment) {
    std::optional<std::string_view> argument = commandArgument(comment, "eval");
    if (!argument) return std::nullopt;
    std::string_view text = *argument;
    // A depth may follow the evaluation: "0.31,18".
    if (const std::size_t comma = text.find(','); comma != std::string_view::npos) {
        long long   depth;
        std::size_t k = comma + 1;
        if (!readDigits(text, k, depth) || k != text.size()) return std::nullopt;
        text = text.substr(0, comma);
    }
    const bool mate = !text.empty() && text.front() == '#';
    if (mate) text.remove_prefix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (mate) {
        std::size_t k = 0;
        long long   moves;
        if (!readDigits(text, k, moves, 4) || k != text.size() || moves == 0) return std::nullopt;
        return UciScore{UciScore::Mate, static_cast<int>(negative ? -moves : moves)};
    }
    const std::optional<double> pawns = readDecimal(text);
    if (!pawns || *pawns > 100000) return std::nullopt;
    const int centipawns = static_cast<int>(std::lround(*pawns * 100));
    return UciScore{UciScore::Centipawns, negative ? -centipawns : centipawns};
}

std::optional<double> readClockCommand(std::string_view comment) {
    std::optional<std::string_view> argument = commandArgument(comment, "clk");
    if (!argument) return std::nullopt;
    const std::string_view text = *argument;
    // Up to three fields separated by colons; the last may have a fraction.
    long long   fields[3];
    int         count = 0;
    std::size_t k     = 0;
    for (;;) {
        const std::size_t start = k;
        if (count == 3 || !readDigits(text, k, fields[count], count == 0 ? 6 : 2))
            return std::nullopt;
        if (count > 0 && (k - start != 2 || fields[count] > 59)) return std::nullopt;
        ++count;
        if (k < text.size() && text[k] == ':') {
            ++k;
            continue;
        }
        break;
    }
    if (count < 2) return std::nullopt;
    double fraction = 0;
    if (k < text.size() && text[k] == '.') {
        const std::optional<double> part = readDecimal(std::string("0").append(text.substr(k)));
        if (!part) return std::nullopt;
        fraction = *part;
        k        = text.size();
    }
    if (k != text.size()) return std::nullopt;
    double seconds = 0;
    for (int i = 0; i < count; ++i)
        seconds = seconds * 60 + static_cast<double>(fields[i]);
    return seconds + fraction;
}

ClockControl readTimeControl(std::string_view value) {
    ClockControl control;
    // Periods: the first one's time is the base.
    if (const std::size_t colon = value.find(':'); colon != std::string_view::npos)
        value = value.substr(0, colon);
    if (const std::size_t slash = value.find('/'); slash != std::string_view::npos) {
        long long   moves;
        std::size_t k = 0;
        if (!readDigits(value, k, moves) || k != slash) return {};
        control.baseSeconds = readDecimal(value.substr(slash + 1));
        return control;
    }
    const std::size_t plus = value.find('+');
    control.baseSeconds    = readDecimal(value.substr(0, plus));
    if (!control.baseSeconds) return {};
    if (plus != std::string_view::npos) {
        const std::optional<double> increment = readDecimal(value.substr(plus + 1));
        if (!increment) return {};
        control.incrementSeconds = *increment;
    }
    return control;
}

std::vector<GraphPoint> graphPoints(const GraphInput& input) {
    const ClockControl      control = readTimeControl(input.timeControl);
    std::vector<GraphPoint> points(input.moves.size());
    // Each side's clock after its last move: none before its first move (the base stands in
    // then) and none after a move whose clock is missing.
    std::optional<double> lastClock[2];
    bool                  moved[2] = {false, false};
    for (std::size_t k = 0; k < points.size(); ++k) {
        GraphPoint&      point = points[k];
        const MoveNotes& notes = input.moves[k];
        point.whiteMoved       = ((k & 1) == 0) == input.whiteMovesFirst;
        point.whiteEval        = readEvalCommand(notes.comments);
        if (point.whiteEval) point.whiteScore = expectedScore(*point.whiteEval);
        for (const int glyph : notes.glyphs)
            if (const MoveMark mark = glyphMark(glyph); mark != MoveMark::None) point.mark = mark;

        const int                   side   = point.whiteMoved ? 0 : 1;
        const std::optional<double> clock  = readClockCommand(notes.comments);
        const std::optional<double> before = moved[side] ? lastClock[side] : control.baseSeconds;
        point.clockSeconds                 = clock;
        if (clock && before) {
            const double taken = *before - *clock + control.incrementSeconds;
            // Less than nothing: time was added (a new period) or the clocks are wrong.
            if (taken >= 0) point.moveSeconds = taken;
        }
        lastClock[side] = clock;
        moved[side]     = true;
    }
    return points;
}

void applyReviewedMove(std::vector<GraphPoint>& points, const ReviewedMove& move) {
    if (move.ply < 0 || static_cast<std::size_t>(move.ply) >= points.size()) return;
    GraphPoint& point = points[static_cast<std::size_t>(move.ply)];
    // The played move's score is the mover's; White's is its opposite when Black moved.
    UciScore white   = move.scores.played;
    white.lowerbound = white.upperbound = false;
    if (!point.whiteMoved) white.value = -white.value;
    point.whiteEval  = white;
    point.whiteScore = expectedScore(white);
    point.mark       = move.judgement.mark;
}

GraphInput currentGameGraphInput() {
    GraphInput input;
    // The FEN's second field names the side to move first.
    const char* space     = std::strchr(gameHeader.fen, ' ');
    input.whiteMovesFirst = !(space && space[1] == 'b');
    input.timeControl     = tagValue(gameHeader.otherTags, "TimeControl");
    int count             = 0;
    while (count < MaxGameMoves && gameMoves[count].piece)
        ++count;
    input.moves.resize(static_cast<std::size_t>(count));
    for (const GameNote& note : gameAnnotations.notes) {
        if (note.depth != 0 || note.ply < 1 || note.ply > count) continue;
        MoveNotes& notes = input.moves[static_cast<std::size_t>(note.ply - 1)];
        if (note.kind == NoteKind::Comment) {
            if (!notes.comments.empty()) notes.comments.push_back(' ');
            notes.comments.append(gameAnnotations.commentOf(note));
        } else if (note.kind == NoteKind::Glyph) {
            notes.glyphs.push_back(note.value);
        }
    }
    return input;
}
