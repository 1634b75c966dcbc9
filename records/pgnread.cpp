#include "records/pgnread.h"

#include <cstring>

#include "engine/boardkeeper.h"
#include "engine/makemove.h"
#include "records/annotations.h"
#include "records/fileplaces.h"
#include "records/pgngrammar.h"
#include "records/pgntags.h"
#include "records/san.h"

namespace {

// The game parser's side of the grammar: tags, moves, comments, glyphs and side lines into a
// GameTree. The main line's moves are checked by replaying them from the game's start; a
// side line is replayed from the position before the move it replaces, and a move that is
// not legal there ends it (what follows in it is dropped).
struct ParserHooks {
    ParseOutcome& outcome;
    GameTree&     tree;

    // An open line: the main line at the bottom, the side line being read on top.
    struct Line {
        MoveLine*                line = nullptr;
        Board                    saved;         // the Board when a side line began, put back at its end
        bool                     dead   = false;
        bool                     afterSideLine = false; // a side line closed since its last move
        bool                     parentAfterSideLine = false; // the parent's, when this line began
        int                      length = 0;    // side line: moves from the main line to its last
        std::vector<std::string> before;        // comments waiting for the line's next move
        std::vector<int>         nags;          // glyphs read before the line's first move
    };
    std::vector<Line> lines;
    int               tooDeep = 0; // side lines open beyond MaxSideLineDepth
    std::string       comment;
    bool              commentOpen  = false;
    int               moveCount    = 0;
    GameTags          tags{};
    std::string       fen;
    bool              begun        = false;
    bool              otherVariant = false;

    ParserHooks(ParseOutcome& o, GameTree& t) : outcome(o), tree(t) {
        lines.emplace_back();
        lines.back().line = &tree.mainLine;
    }

    bool inSideLine() const { return lines.size() > 1 || tooDeep > 0; }
    bool dropping() const { return tooDeep > 0 || lines.back().dead; }

    void gameStart(std::int64_t) {}

    void tagTaken(const PgnMachine& m) {
        outcome.gameFound = true;
        tree.tags.push_back({std::string(m.name, static_cast<std::size_t>(m.nameLength)),
                             std::string(m.value, static_cast<std::size_t>(m.valueLength))});
        switch (tags.take(m)) {
        case PgnTag::Fen: fen = tree.tags.back().value; break;
        case PgnTag::Variant: otherVariant = !standardVariant(m.value); break;
        default: break;
        }
    }

    void fail(ParseProblem problem) {
        if (outcome.problem == ParseProblem::None) outcome.problem = problem;
    }

    // The Board at the game's start; a game that cannot start there is not replayed.
    void movetextBegins() {
        begun = true;
        if (otherVariant)
            fail(ParseProblem::OtherVariant);
        else if (!setupStartFrom(fen.c_str()))
            fail(ParseProblem::BadSetUp);
    }

    void noteMove(const char* text, int length) {
        const GameStart start = gameStartOf(fen.c_str());
        const int       ply   = moveCount + (start.blackFirst ? 1 : 0);
        outcome.moveNumber    = start.moveNumber + ply / 2;
        outcome.blackMove     = ply % 2 == 1;
        quoteFileBytes(text, static_cast<std::size_t>(length), outcome.move, sizeof outcome.move);
    }

    void commentText(const char* text, std::size_t n) {
        if (dropping()) return;
        commentOpen = true;
        comment.append(text, n);
    }

    // A comment right after a move is that move's; one at the start of a line or after a
    // side line waits for the line's next move.
    void commentEnds() {
        if (!commentOpen) return;
        commentOpen = false;
        Line& top   = lines.back();
        if (!top.line->moves.empty() && !top.afterSideLine)
            top.line->moves.back().commentsAfter.push_back(std::move(comment));
        else
            top.before.push_back(std::move(comment));
        comment.clear();
    }

    void nag(int number) {
        if (dropping()) return;
        Line& top = lines.back();
        if (top.line->moves.empty())
            top.nags.push_back(number);
        else
            top.line->moves.back().nags.push_back(number);
    }

    // Puts the line's waiting comments after its last move (none follows), or, in a line
    // without moves, with the game (the main line) or nowhere (a side line, dropped).
    void flushWaiting(Line& line) {
        if (line.before.empty()) return;
        std::vector<std::string>& to = !line.line->moves.empty() ? line.line->moves.back().commentsAfter
                                       : line.line == &tree.mainLine ? tree.comments
                                                                     : line.before;
        if (&to != &line.before)
            for (std::string& text : line.before)
                to.push_back(std::move(text));
        line.before.clear();
    }

    void variationBegins() {
        if (tooDeep > 0 || static_cast<int>(lines.size()) > MaxSideLineDepth) {
            ++tooDeep;
            return;
        }
        Line& parent = lines.back();
        Line  line;
        line.saved = board;
        line.dead  = parent.dead || parent.line->moves.empty();
        // It replaces its parent's last move: read from the position before it.
        if (!line.dead) {
            MoveNode& replaced = parent.line->moves.back();
            unmakeMove(replaced.move);
            replaced.variations.emplace_back();
            line.line   = &replaced.variations.back();
            line.length = lines.size() == 1 ? 0 : parent.length - 1;
        } else {
            line.line = nullptr;
        }
        line.parentAfterSideLine = parent.afterSideLine;
        parent.afterSideLine     = true;
        lines.push_back(std::move(line));
        if (lines.back().dead) {
            // Nothing to replace: read on into a line of its own, never kept.
            static thread_local MoveLine nowhere;
            nowhere.moves.clear();
            lines.back().line = &nowhere;
        }
    }

    void variationEnds() {
        if (tooDeep > 0) {
            --tooDeep;
            return;
        }
        if (lines.size() == 1) return;
        Line& line = lines.back();
        // A side line left without a move is dropped, as if it had not been there; its
        // comments stay, in its parent, where it stood.
        const bool               dropped = line.line->moves.empty();
        const bool               wasAfterSideLine = line.parentAfterSideLine;
        std::vector<std::string> orphans;
        if (dropped && !line.dead) orphans = std::move(line.before);
        flushWaiting(line);
        board = line.saved;
        lines.pop_back();
        Line& parent = lines.back();
        if (!dropped) return;
        if (!parent.dead && !parent.line->moves.empty()) {
            auto& variations = parent.line->moves.back().variations;
            if (!variations.empty() && variations.back().moves.empty()) variations.pop_back();
        }
        parent.afterSideLine = wasAfterSideLine;
        for (std::string& text : orphans) {
            if (!parent.line->moves.empty() && !parent.afterSideLine)
                parent.line->moves.back().commentsAfter.push_back(std::move(text));
            else
                parent.before.push_back(std::move(text));
        }
    }

    void variationDamaged() {
        if (tooDeep == 0 && lines.size() > 1) lines.back().dead = true;
    }

    // Adds move, legal on the Board, to the line and makes it.
    void addMove(Line& line, const Move& move) {
        MoveNode& node = line.line->moves.emplace_back();
        char      san[8];
        moveToSan(move, san);
        node.move           = move;
        node.san            = san;
        node.commentsBefore = std::move(line.before);
        node.nags           = std::move(line.nags);
        line.before.clear();
        line.nags.clear();
        line.afterSideLine = false;
        makeMove(move);
    }

    void sideMove(const char* text, int length) {
        if (dropping()) return;
        Line& line = lines.back();
        Move  move{};
        // A research line holds one move less than a game, and its end mark.
        if (line.length + 1 > MaxGameMoves - 2 || !sanToMove(text, length - 1, &move)) {
            line.dead = true;
            return;
        }
        addMove(line, move);
        ++line.length;
    }

    bool moveToken(const char* text, int length) {
        if (inSideLine()) {
            sideMove(text, length);
            return true;
        }
        outcome.gameFound = true;
        if (outcome.problem != ParseProblem::None) return false;
        if (moveCount == MaxGameMoves) {
            noteMove(text, length);
            fail(ParseProblem::TooManyMoves);
            return false;
        }
        Move move{};
        if (!sanToMove(text, length - 1, &move)) {
            noteMove(text, length);
            fail(ParseProblem::IllegalMove);
            return false;
        }
        addMove(lines.front(), move);
        ++moveCount;
        return true;
    }

    bool gameEnd(int result, std::int64_t, bool& stop) {
        outcome.gameFound = true;
        // The termination token gives the result, whatever the Result tag says: as in the passes.
        static const std::string tokens[] = {"*", "1-0", "0-1", "1/2-1/2"};
        tree.termination = tokens[result == WhiteWon ? 1 : result == BlackWon ? 2 : result == Drawn ? 3 : 0];
        stop = true; // one game: text after its termination token is not read
        return true;
    }

    // What was read waits nowhere when reading ends (a comment left open is dropped, as the
    // game is then damaged).
    void finish() {
        while (lines.size() > 1) {
            flushWaiting(lines.back());
            board = lines.back().saved;
            lines.pop_back();
        }
        flushWaiting(lines.front());
        Line& main = lines.front();
        if (!main.nags.empty() && !main.line->moves.empty())
            for (int number : main.nags)
                main.line->moves.back().nags.push_back(number);
    }
};

} // namespace

bool parseGameTree(const char* text, std::size_t maxLength, GameTree& tree, ParseOutcome* outcome) {
    tree = GameTree{};
    ParseOutcome  local;
    ParseOutcome& result = outcome ? *outcome : local;
    result               = ParseOutcome{};
    BoardKeeper   keeper;
    PgnMachine    machine;
    ParserHooks   hooks{result, tree};
    if (text) {
        const std::size_t length = strnlen(text, maxLength);
        const char*       stop   = runPgn<GameParser>(machine, text, text + length, 0, hooks);
        if (machine.state != PgnFailed && !machine.stopped)
            finishPgn<GameParser>(machine, static_cast<std::int64_t>(length), hooks);
        result.offset = static_cast<std::size_t>(stop - text);
    }
    hooks.finish();
    if (!hooks.begun) hooks.movetextBegins(); // a game of tags alone
    if (result.problem == ParseProblem::None && machine.state == PgnFailed)
        result.problem = ParseProblem::Grammar;
    if (result.problem == ParseProblem::None && !result.gameFound)
        result.problem = ParseProblem::Grammar;
    return result.problem == ParseProblem::None;
}

bool parseGameText(const char* text, std::size_t maxLength, ParseOutcome* outcome) {
    GameTree   tree;
    const bool read = parseGameTree(text, maxLength, tree, outcome);
    loadCurrentGame(tree);
    return read;
}

std::size_t readGameText(BufferedFile& file, const GameEntry* entry, std::string& text) {
    text.clear();
    if (!entry || entry->end() - entry->start() < 1) return 0;
    const std::int64_t length = entry->end() - entry->start() + 1;
    if (length > file.size() || !file.seek(entry->start())) return 0;
    text.resize(static_cast<std::size_t>(length));
    const std::size_t got = file.read(text.data(), text.size());
    text.resize(got);
    return got;
}
