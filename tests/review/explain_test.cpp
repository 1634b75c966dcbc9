// The explanations of mistakes, one table per rule: the position, the move played, the
// engine's refutation, its best move and the scores give one exact sentence. Then a table
// where a higher rule must win over a lower one, and facts that cannot be read.
#include <gtest/gtest.h>

#include <sstream>

#include "engine/board.h"
#include "engine/fensetup.h"
#include "review/explain.h"

namespace {

UciScore cp(int centipawns) { return {UciScore::Centipawns, centipawns}; }
UciScore mate(int moves) { return {UciScore::Mate, moves}; }

struct ExplainCase {
    const char* fen;
    const char* played;
    const char* refutation; // coordinate moves, apart by spaces
    const char* best;
    UciScore    bestScore, playedScore;
    const char* sentence;
};

std::vector<std::string> movesOf(const char* text) {
    std::istringstream       in(text);
    std::vector<std::string> moves;
    for (std::string move; in >> move;)
        moves.push_back(move);
    return moves;
}

// Each case is explained from a Board the test set elsewhere, which must come back unchanged.
void expectSentences(const std::vector<ExplainCase>& cases) {
    setupStartBoard();
    const Board before = board;
    for (const ExplainCase& c : cases) {
        const MistakeFacts facts{c.fen,    c.played,    movesOf(c.refutation), c.best,
                                 {c.best}, c.bestScore, c.playedScore};
        EXPECT_EQ(explainMistake(facts), c.sentence) << c.fen << " " << c.played;
        EXPECT_EQ(board, before) << c.fen << " " << c.played;
    }
}

// The refutation ends with the mover mated; a line cut short of the mate says nothing of it.
TEST(Explain, TheMateTheMoveAllows) {
    expectSentences({
        {"4r1k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 30", "d1d7", "e8e1", "g2g3", cp(0), mate(-1),
         "Re1# で詰みます"},
        {"4r1k1/4qppp/8/8/8/8/3Q1PPP/2R3K1 w - - 0 27", "d2d5", "e7e1 c1e1 e8e1", "h2h3", cp(10),
         mate(-2), "Qe1+ から2手で詰みます"},
        {"4r1k1/4qppp/8/8/8/8/3Q1PPP/2R3K1 w - - 0 27", "d2d5", "e7e1 c1e1", "h2h3", cp(10),
         mate(-2), "最善は h3 (+0.1)"},
    });
}

// The best move mated and the move played does not.
TEST(Explain, TheMateTheMoveMissed) {
    expectSentences({
        {"6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 30", "a1a7", "g8f8", "a1a8", mate(1), cp(450),
         "Ra8# で詰みがありました"},
        {"2r3k1/5ppp/8/8/8/8/5PPP/3RR1K1 w - - 0 25", "h2h3", "c8c2", "e1e8", mate(2), cp(520),
         "Re8+ から2手で詰みがありました"},
        // A slower mate is no missed mate: the better move is named with its score.
        {"2r3k1/5ppp/8/8/8/8/5PPP/3RR1K1 w - - 0 25", "h2h3", "c8c2", "e1e8", mate(2), mate(4),
         "最善は Re8+ (#2)"},
    });
}

// The material the refutation wins, and how its first move wins it.
TEST(Explain, TheMaterialTheMoveLosesAndHow) {
    expectSentences({
        // A piece left where nothing defends it.
        {"r1bqkbnr/pppp1ppp/2n5/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R b KQkq - 3 3", "d8g5", "f3g5",
         "g8f6", cp(-20), cp(-900), "Nxg5 で無防備のクイーンを取られます（9ポーン相当の損）"},
        // Taken en passant: the pawn that passed stood undefended, though the square passed is not.
        {"6k1/6pp/8/8/3p1p2/8/4PBPP/6K1 w - - 0 35", "e2e4", "d4e3", "f2d4", cp(250), cp(20),
         "dxe3 で無防備のポーンを取られます（1ポーン相当の損）"},
        // A capture answered by a recapture the mover cannot answer.
        {"r1bqk1nr/pppp1ppp/2n5/2b1p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4", "c4f7",
         "e8f7 c2c3 g8f6", "c2c3", cp(30), cp(-180),
         "ビショップとポーンの交換で駒損になります（2ポーン相当の損）"},
        // A piece moved where a pawn takes it and the recapture wins back only the pawn.
        {"rnbqkbnr/1p2pppp/p2p4/2p5/4P3/2N2N2/PPPP1PPP/R1BQKB1R w KQkq - 0 4", "f1b5", "a6b5 c3b5",
         "d2d4", cp(30), cp(-170), "交換で駒損になります（2ポーン相当の損）"},
        // A knight's check that also attacks a rook.
        {"r3k2r/pp3ppp/3bp3/1N4q1/8/8/PPP2PPP/R2Q1RK1 b - - 0 14", "d6c5", "b5c7 e8e7 c7a8", "d6e7",
         cp(-40), cp(-250), "Nc7+ でキングとルークの両取りになります（2ポーン相当の損）"},
        // A pawn that attacks two pieces at once.
        {"r1bqk2r/ppp2ppp/2nb1n2/8/4P3/2N2N2/PPP2PPP/R1BQKB1R b KQkq - 2 6", "c6b4",
         "e4e5 d6e5 f3e5", "e8g8", cp(-30), cp(-220),
         "e5 でビショップとナイトの両取りになります（2ポーン相当の損）"},
        // A bishop that holds a rook against its king.
        {"4k2r/pp1r1ppp/2p1pn2/8/8/2N2N2/PPP2PPP/R3KB1R b - - 0 12", "c6c5", "f1b5 a7a6 b5d7 f6d7",
         "e8e7", cp(-50), cp(-240), "Bb5 でルークがピンされます（2ポーン相当の損）"},
    });
}

// Material lost with none of those patterns: only the amount is said.
TEST(Explain, TheMaterialTheRefutationWins) {
    expectSentences({
        {"rnbqkbnr/pp1ppppp/8/2p5/3P4/8/PPP1PPPP/RNBQKBNR w KQkq c6 0 2", "c1f4", "d8b6 b1c3 b6b2",
         "d4d5", cp(20), cp(-90), "相手が1ポーン分の駒得をします"},
    });
}

// Nothing lost by the line: the better move and its score, from the mover's side.
TEST(Explain, TheBetterMoveAndItsScore) {
    expectSentences({
        {"", "g2g4", "d7d5 h2h3", "e2e4", cp(25), cp(-80), "最善は e4 (+0.2)"},
        {"rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 2", "f7f6", "g1f3", "g8f6",
         cp(-35), cp(-120), "最善は Nf6 (-0.3)"},
        // The bishop stands attacked, but a line that is not given shows no loss.
        {"r1bqk2r/ppp2ppp/2nb1n2/3pp3/2BPP3/2N2N2/PPP2PPP/R1BQK2R w KQkq - 0 6", "a2a3", "", "c4d5",
         cp(0), cp(-300), "最善は Bxd5 (+0.0)"},
        {"6k1/8/8/8/8/1r6/r7/4R2K w - - 0 60", "e1f1", "b3h3", "e1e8", mate(-3), mate(-2),
         "最善は Re8+ (#-3)"},
    });
}

// Where several rules hold, the first in order is said.
TEST(Explain, AHigherRuleWins) {
    expectSentences({
        // The move misses Qxg7# and allows Qe1#.
        {"4r1k1/5ppp/8/8/4q3/6Q1/1B3PPP/3R2K1 w - - 0 28", "d1d7", "e4e1", "g3g7", mate(1),
         mate(-1), "Qe1# で詰みます"},
        // The move misses Ra8# and leaves the rook to the bishop.
        {"6k1/5ppp/8/8/8/2b5/5PPP/R5K1 w - - 0 30", "a1e1", "c3e1", "a1a8", mate(1), cp(-300),
         "Ra8# で詰みがありました"},
        // The same move without the mate: the rook is simply lost.
        {"6k1/5p1p/6p1/8/8/2b5/5PPP/R5K1 w - - 0 30", "a1e1", "c3e1", "h2h3", cp(200), cp(-300),
         "Bxe1 で無防備のルークを取られます（5ポーン相当の損）"},
    });
}

TEST(Explain, FactsThatCannotBeReadGiveNoSentence) {
    setupStartBoard();
    const Board        before  = board;
    const MistakeFacts cases[] = {
        {"not a position", "e2e4", {}, "d2d4", {}, cp(20), cp(0)},
        {"", "e2e5", {}, "d2d4", {}, cp(20), cp(0)},
        {"", "e2e4", {"e7e5"}, "d2d5", {}, cp(20), cp(0)},
        {"", "", {}, "d2d4", {}, cp(20), cp(0)},
    };
    for (const MistakeFacts& facts : cases) {
        EXPECT_EQ(explainMistake(facts), "")
            << facts.fen << " " << facts.played << " " << facts.best;
        EXPECT_EQ(board, before);
    }
}

} // namespace
