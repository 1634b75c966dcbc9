#include "review/explain.h"

#include <cstdio>

#include "engine/attacks.h"
#include "engine/boardkeeper.h"
#include "engine/coords.h"
#include "engine/fensetup.h"
#include "engine/makemove.h"
#include "records/san.h"
#include "review/tactics.h"

namespace {

// The pieces' names as the sentences use them, by piece type.
constexpr const char* pieceNames[] = {"",       "ポーン",   "ナイト", "ビショップ",
                                      "ルーク", "クイーン", "キング"};

// "+1.2", "-0.4", "#3", "#-2": a score from the mover's side as a player reads it.
std::string scoreText(const UciScore& score) {
    if (score.kind == UciScore::Mate) return std::string("#").append(std::to_string(score.value));
    char text[16];
    std::snprintf(text, sizeof text, "%+.1f", score.value / 100.0);
    return text;
}

// "（3ポーン相当の損）"
std::string lossText(int pawns) {
    return std::string("（").append(std::to_string(pawns)).append("ポーン相当の損）");
}

// The type of the piece a move lands with (the new piece for a promotion).
int arrivingType(const Move& move) {
    return promotionType(move) ? promotionType(move) : move.piece;
}

// A move read in the current position, with its SAN.
struct ReadMove {
    Move move{};
    char san[8]{};
};

bool readMove(const std::string& text, ReadMove& out) {
    return coordsToMove(text.c_str(), &out.move) && moveToSan(out.move, out.san);
}

// How the refutation's first move takes material from the mover, read on the Board after the
// move played; the first matching way is said.
enum Tactic { NoTactic = 0, Undefended = 1, Exchange = 2, Fork = 3, Pin = 4 };

struct TacticFound {
    Tactic kind       = NoTactic;
    int    victim     = NoPiece;            // Undefended, Exchange: the piece taken
    int    givenType  = NoPiece;            // Exchange: the piece the move played gave
    int    takenType  = NoPiece;            // Exchange: the piece the move played took
    int    forked[2]  = {NoPiece, NoPiece}; // Fork: the two most valuable pieces attacked
    int    pinnedType = NoPiece;            // Pin: the piece pinned
};

// The capture by the reply: the recapture of what the move played took, when that loses in
// the exchange on the square; a piece no piece of the mover defended; or a defended piece whose
// exchange on its square still loses. The Board is the position after the move played; it is
// left so.
TacticFound captureTactic(const Move& played, const Move& reply, int mover) {
    TacticFound found;
    if (capturedType(reply) == NoPiece) return found;
    const int  to         = moveTo(reply);
    const int  square     = (reply.flags & EnPassantFlag) ? (mover == White ? to + 8 : to - 8) : to;
    const bool recapture  = capturedType(played) != NoPiece && moveTo(played) == to;
    const bool undefended = !isAttacked(square, mover);
    found.victim          = capturedType(reply);
    if (undefended && !recapture) {
        found.kind = Undefended;
        return found;
    }
    makeMove(reply);
    const int regained = exchangeGain(to);
    unmakeMove(reply);
    const int taken = recapture ? pawnUnits[capturedType(played)] : 0;
    if (taken + regained - pawnUnits[found.victim] >= 0) return found;
    found.kind = Exchange;
    // The pieces are named when the exchange is just the piece the move played took for the
    // one that took it.
    if (recapture && regained == 0) {
        found.givenType = found.victim;
        found.takenType = capturedType(played);
    }
    return found;
}

// What the reply's piece does from its new square: attack two pieces of the mover, each the
// king, a piece worth more than the attacker or a piece nothing defends; or pin one. The Board
// is the position after the reply.
TacticFound attackTactic(const Move& reply, int mover) {
    TacticFound found;
    const int   to       = moveTo(reply);
    const int   attacker = arrivingType(reply);
    int         targets[16];
    int         count = 0;
    bool        king  = false;
    for (Bitboard set = attacksFrom(to) & board.colourBits[mover]; set; set &= set - 1) {
        const int square = firstOne(set);
        const int type   = pieceTypeOn(square, mover);
        // Pawns are no target of a fork; a king attacks only what nothing defends.
        if (type == King) {
            king = true;
        } else if (type != Pawn && ((attacker != King && pawnUnits[type] > pawnUnits[attacker]) ||
                                    !isAttacked(square, mover))) {
            targets[count++] = type;
        }
    }
    if (count + (king ? 1 : 0) >= 2) {
        // The king first, then the most valuable.
        for (int i = 1; i < count; ++i)
            for (int j = i; j > 0 && pawnUnits[targets[j]] > pawnUnits[targets[j - 1]]; --j)
                std::swap(targets[j], targets[j - 1]);
        found.kind      = Fork;
        found.forked[0] = king ? King : targets[0];
        found.forked[1] = king ? targets[0] : targets[1];
        return found;
    }
    int pinned = NoSquare;
    if (findPin(to, pinned)) {
        found.kind       = Pin;
        found.pinnedType = pieceTypeOn(pinned, mover);
    }
    return found;
}

std::string tacticText(const TacticFound& found, const char* replySan) {
    switch (found.kind) {
    case Undefended:
        return std::string(replySan)
            .append(" で無防備の")
            .append(pieceNames[found.victim])
            .append("を取られます");
    case Exchange:
        if (found.givenType != NoPiece)
            return std::string(pieceNames[found.givenType])
                .append("と")
                .append(pieceNames[found.takenType])
                .append("の交換で駒損になります");
        return "交換で駒損になります";
    case Fork:
        return std::string(replySan)
            .append(" で")
            .append(pieceNames[found.forked[0]])
            .append("と")
            .append(pieceNames[found.forked[1]])
            .append("の両取りになります");
    case Pin:
        return std::string(replySan)
            .append(" で")
            .append(pieceNames[found.pinnedType])
            .append("がピンされます");
    default:
        return {};
    }
}

} // namespace

std::string explainMistake(const MistakeFacts& facts) {
    const BoardKeeper keeper;
    char              error[128];
    if (facts.fen.empty())
        setupStartBoard();
    else if (!setupBoardFromFen(facts.fen.c_str(), error, sizeof error))
        return {};
    const int mover = board.sideToMove;

    ReadMove played, best;
    if (!readMove(facts.played, played)) return {};
    const std::string& bestText =
        facts.best.empty() && !facts.bestLine.empty() ? facts.bestLine.front() : facts.best;
    if (!bestText.empty() && !readMove(bestText, best)) return {};
    const int materialBefore = materialInPawns(mover);

    // The refutation, read as far as its moves are legal one after another. What the first
    // reply does is read on the way: the capture before it is made, the attack after.
    makeMove(played.move);
    int         plies = 0;
    ReadMove    reply;
    TacticFound capture, attack;
    for (const std::string& text : facts.refutation) {
        ReadMove next;
        if (!readMove(text, next)) break;
        if (plies == 0) {
            reply   = next;
            capture = captureTactic(played.move, reply.move, mover);
        }
        makeMove(next.move);
        if (plies == 0) attack = attackTactic(reply.move, mover);
        ++plies;
    }

    // The move allows a mate: the refutation ends with the mover mated.
    if (plies > 0 && board.sideToMove == mover && isCheckmate()) {
        if (plies == 1) return std::string(reply.san).append(" で詰みます");
        return std::string(reply.san)
            .append(" から")
            .append(std::to_string((plies + 1) / 2))
            .append("手で詰みます");
    }

    // The move misses a mate the best move had.
    const bool bestMates = facts.bestScore.kind == UciScore::Mate && facts.bestScore.value > 0;
    const bool playedMates =
        facts.playedScore.kind == UciScore::Mate && facts.playedScore.value > 0;
    if (bestMates && !playedMates && best.move.fromTo != 0) {
        const std::string san = best.san;
        if (facts.bestScore.value == 1 && san.back() == '#') return san + " で詰みがありました";
        return san + " から" + std::to_string(facts.bestScore.value) + "手で詰みがありました";
    }

    // The material the refutation wins, once the captures left at its end are played out.
    // Without a refutation the line shows no loss, whatever the position holds.
    const int loss = plies > 0 ? materialBefore - settledMaterial(mover) : 0;
    if (loss >= 1) {
        // A capture of a real piece says most; a pawn taken on the way matters less than a
        // fork or a pin made by the same move.
        const bool         bigCapture = capture.kind != NoTactic && capture.victim != Pawn;
        const TacticFound& how        = bigCapture || attack.kind == NoTactic ? capture : attack;
        if (how.kind != NoTactic) return tacticText(how, reply.san) + lossText(loss);
        return "相手が" + std::to_string(loss) + "ポーン分の駒得をします";
    }

    if (best.move.fromTo == 0) return {};
    return std::string("最善は ")
        .append(best.san)
        .append(" (")
        .append(scoreText(facts.bestScore))
        .append(")");
}
