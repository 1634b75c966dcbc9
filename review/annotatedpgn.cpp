#include "review/annotatedpgn.h"

#include <cstdio>
#include <cstdlib>

#include "engine/makemove.h"
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
