#include "review/annotatedpgn.h"

#include <cstdio>
#include <cstdlib>

#include "engine/boardkeeper.h"
#include "engine/coords.h"
#include "engine/makemove.h"
#include "records/gameedits.h"
#include "uci/pvsan.h"

namespace {

// The most moves of a better line written as a side line.
constexpr int SideLineMoves = 12;
// Lines are broken before this length.
constexpr std::size_t LineLength = 79;

bool whiteToMove(const std::string& fen) {
    const std::size_t space = fen.find(' ');
    return space == std::string::npos || fen.compare(space + 1, 1, "b") != 0;
}

// Collects tokens into lines no longer than LineLength (a longer token stands alone).
class TokenLines {
public:
    void add(const std::string& token) {
        if (m_line > 0 && m_line + 1 + token.size() > LineLength) {
            m_text += '\n';
            m_line = 0;
        } else if (m_line > 0) {
            m_text += ' ';
            ++m_line;
        }
        m_text += token;
        m_line += token.size();
    }
    std::string finish() {
        std::string text = m_text;
        text.push_back('\n');
        return text;
    }

private:
    std::string m_text;
    std::size_t m_line = 0;
};

// A comment's text as a PGN comment keeps it: no closing brace inside, no line breaks.
std::string commentSafe(std::string text) {
    for (char& c : text) {
        if (c == '}') c = ')';
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    }
    return text;
}

} // namespace

std::string evalText(const UciScore& whiteScore) {
    if (whiteScore.kind == UciScore::Mate) {
        std::string text("#");
        text.append(std::to_string(whiteScore.value));
        return text;
    }
    char text[24];
    std::snprintf(text, sizeof text, "%.2f", whiteScore.value / 100.0);
    return text;
}

std::string annotatedMovetext(const ReviewGameInput& game, const GameReview& review,
                              const std::string& result) {
    TokenLines out;
    SanLine    mainLine;
    const bool readable = pvToSan(game.startFen, {}, game.moves, mainLine) &&
                          mainLine.san.size() == game.moves.size();
    bool numberDue  = true; // the next move needs its number, Black's too
    int  moveNumber = mainLine.firstMoveNumber;
    bool white      = mainLine.whiteFirst;
    for (std::size_t ply = 0; readable && ply < game.moves.size(); ++ply) {
        if (white || numberDue) {
            std::string number = std::to_string(moveNumber);
            number.append(white ? "." : "...");
            out.add(number);
        }
        out.add(mainLine.san[ply]);
        numberDue = false;

        const ReviewedMove* move = ply < review.moves.size() ? &review.moves[ply] : nullptr;
        if (move && markNag(move->judgement.mark)) {
            std::string nag("$");
            nag.append(std::to_string(markNag(move->judgement.mark)));
            out.add(nag);
        }

        std::string comment;
        if (ply + 1 < review.positions.size() && ply + 1 < game.fens.size()) {
            const ReviewedPosition& after = review.positions[ply + 1];
            const bool              mated =
                ply + 1 < game.mateStatus.size() && game.mateStatus[ply + 1] == Checkmated;
            if (!mated) {
                UciScore score = after.score;
                if (!whiteToMove(game.fens[ply + 1])) score.value = -score.value;
                comment.append("[%eval ").append(evalText(score)).append("]");
            }
        }
        if (move && !move->explanation.empty()) {
            if (!comment.empty()) comment.append(" ");
            comment.append(commentSafe(move->explanation));
        }
        if (!comment.empty()) {
            std::string braced("{");
            braced.append(comment).append("}");
            out.add(braced);
            numberDue = true;
        }

        const bool mistake = move && (move->judgement.mark == MoveMark::Mistake ||
                                      move->judgement.mark == MoveMark::Blunder);
        if (mistake && ply < review.positions.size() && !review.positions[ply].bestLine.empty()) {
            const std::vector<std::string> before(game.moves.begin(),
                                                  game.moves.begin() + static_cast<long>(ply));
            SanLine                        better;
            if (pvToSan(game.startFen, before, review.positions[ply].bestLine, better) &&
                !better.san.empty()) {
                std::string side("(");
                side.append(numberedSan(better, SideLineMoves)).append(")");
                out.add(side);
                numberDue = true;
            }
        }
        if (!white) ++moveNumber;
        white = !white;
    }
    out.add(result);
    return out.finish();
}

namespace {

// Whether position k of the review has its result: searched, or without a legal move.
bool positionDone(const ReviewGameInput& game, const GameReview& review, std::size_t k) {
    if (k >= review.positions.size()) return false;
    return review.positions[k].searched ||
           (k < game.mateStatus.size() && game.mateStatus[k] != HasLegalMove);
}

// The span of the first [%eval ...] command of text, its brackets included; npos when none.
std::size_t evalCommandAt(const std::string& text, std::size_t& length) {
    for (std::size_t at = text.find("[%eval"); at != std::string::npos;
         at             = text.find("[%eval", at + 2)) {
        const std::size_t k = at + 6;
        if (k >= text.size() || (text[k] != ' ' && text[k] != '\t' && text[k] != '\n' &&
                                 text[k] != '\r'))
            continue;
        const std::size_t end = text.find(']', k);
        if (end == std::string::npos) return std::string::npos;
        length = end + 1 - at;
        return at;
    }
    return std::string::npos;
}

// Puts the evaluation command and the explanation into the comments after a move.
void writeMoveComment(MoveNode& node, const std::string& evalCommand,
                      const std::string& explanation) {
    std::vector<std::string>& comments = node.commentsAfter;
    std::string*              target   = nullptr;
    if (!evalCommand.empty()) {
        for (std::string& comment : comments) {
            std::size_t length = 0;
            const std::size_t at = evalCommandAt(comment, length);
            if (at != std::string::npos) {
                comment.replace(at, length, evalCommand);
                target = &comment;
                break;
            }
        }
        if (!target && !comments.empty()) {
            std::string& first = comments.front();
            first.insert(0, first.empty() ? evalCommand : evalCommand + " ");
            target = &first;
        }
        if (!target) target = &comments.emplace_back(evalCommand);
    }
    if (explanation.empty()) return;
    for (const std::string& comment : comments)
        if (comment.find(explanation) != std::string::npos) return;
    if (!target) target = comments.empty() ? &comments.emplace_back() : &comments.front();
    if (!target->empty()) target->push_back(' ');
    target->append(explanation);
}

// The better line from the position before ply as moves of that position, as far as they
// are legal, at most SideLineMoves of them.
std::vector<Move> betterLineMoves(const GameTree& tree, int ply, const std::vector<std::string>& line) {
    std::vector<Move> moves;
    Board             start;
    if (!positionAt(tree, ply > 0 ? NodePath{ply - 1} : NodePath{}, start)) return moves;
    BoardKeeper keeper;
    board = start;
    for (const std::string& text : line) {
        Move move{};
        if (static_cast<int>(moves.size()) >= SideLineMoves || text.size() > 5 ||
            !coordsToMove(text.c_str(), &move))
            break;
        moves.push_back(move);
        makeMove(move);
    }
    return moves;
}

} // namespace

bool writeReviewIntoTree(GameTree& tree, const ReviewGameInput& game, const GameReview& review) {
    const std::vector<MoveNode>& mainLine = tree.mainLine.moves;
    if (mainLine.size() < game.moves.size()) return false;
    for (std::size_t ply = 0; ply < game.moves.size(); ++ply) {
        char coords[8];
        moveToCoords(mainLine[ply].move, coords);
        if (game.moves[ply] != coords) return false;
    }
    GameTree written = tree;
    for (std::size_t ply = 0; ply < game.moves.size() && ply < review.moves.size(); ++ply) {
        if (!positionDone(game, review, ply) || !positionDone(game, review, ply + 1)) continue;
        const ReviewedMove& judged = review.moves[ply];
        const NodePath      path{static_cast<int>(ply)};
        setMark(written, path, markNag(judged.judgement.mark));

        std::string evalCommand;
        const bool  mated = ply + 1 < game.mateStatus.size() && game.mateStatus[ply + 1] == Checkmated;
        if (!mated && ply + 1 < game.fens.size()) {
            UciScore score = review.positions[ply + 1].score;
            if (!whiteToMove(game.fens[ply + 1])) score.value = -score.value;
            evalCommand = "[%eval " + evalText(score) + "]";
        }
        writeMoveComment(written.mainLine.moves[ply], evalCommand, commentSafe(judged.explanation));

        const bool mistake = judged.judgement.mark == MoveMark::Mistake ||
                             judged.judgement.mark == MoveMark::Blunder;
        const std::vector<std::string>& better = review.positions[ply].bestLine;
        if (!mistake || better.empty() || better.front() == game.moves[ply]) continue;
        const std::vector<Move> moves = betterLineMoves(written, static_cast<int>(ply), better);
        if (!moves.empty())
            addLine(written, ply > 0 ? NodePath{static_cast<int>(ply) - 1} : NodePath{}, moves);
    }
    tree = std::move(written);
    return true;
}
