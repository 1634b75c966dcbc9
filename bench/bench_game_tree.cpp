// Loading and writing a heavily annotated game: a game generated here of 240 half-moves, each
// main-line move with a comment holding clock and evaluation commands and a side line of four
// moves, each with a comment, one with a glyph; every fourth side line holds one of three
// moves nested in it (1,379 comments and 300 side lines, 58 KB of text). Measured:
// reading it into the game tree, loading it as the current game (the tree, the header, the
// main line and the move list's annotations), and writing the tree again.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/attacks.h"
#include "engine/boardkeeper.h"
#include "engine/makemove.h"
#include "engine/movegen.h"
#include "engine/search.h"
#include "records/gametree.h"
#include "records/gametreewrite.h"
#include "records/pgnread.h"
#include "records/san.h"

namespace {

// The legal moves of the side to move.
std::vector<Move> legalMoves() {
    Move              moves[MaxMovesPerPly];
    const Move*       end = genAllMoves(board.sideToMove, moves);
    std::vector<Move> legal;
    for (const Move* m = moves; m < end; ++m)
        if (!leavesKingAttacked(*m)) legal.push_back(*m);
    return legal;
}

struct Random {
    std::uint64_t state;
    std::size_t   below(std::size_t n) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::size_t>((state >> 33) % n);
    }
};

std::string sanOf(const Move& move) {
    char san[8];
    moveToSan(move, san);
    return san;
}

// count moves of a line from the Board's position, written with numbers from ply, each
// with a comment; the Board is left as it was. A line shorter than asked where the game ends.
std::string sideLine(Random& random, int ply, int count, bool nested) {
    BoardKeeper keeper;
    std::string text;
    for (int k = 0; k < count; ++k, ++ply) {
        const std::vector<Move> moves = legalMoves();
        if (moves.empty()) break;
        const Move move = moves[random.below(moves.size())];
        text += std::to_string(ply / 2 + 1) + (ply % 2 ? "... " : ". ") + sanOf(move);
        if (k == 1) text += " $" + std::to_string(1 + random.below(6));
        text += " { side line " + std::to_string(k) + " [%eval 0." + std::to_string(k) + "] }";
        // A side line replacing this move: from the position before it.
        if (nested && k == 2) text += " (" + sideLine(random, ply, 3, false) + ")";
        text += ' ';
        makeMove(move);
    }
    return text;
}

const std::string& annotatedGame() {
    static const std::string text = [] {
        for (std::uint64_t seed = 1;; ++seed) {
            Random      random{seed};
            BoardKeeper keeper;
            setupStartBoard();
            std::string movetext;
            int         ply = 0;
            for (; ply < 240; ++ply) {
                const std::vector<Move> moves = legalMoves();
                if (moves.size() < 2) break;
                const Move move = moves[random.below(moves.size())];
                movetext += std::to_string(ply / 2 + 1) + (ply % 2 ? "... " : ". ") + sanOf(move) +
                            " { [%clk 0:0" + std::to_string(ply % 10) + ":00] [%eval " +
                            std::to_string(ply % 7) + ".1] main line comment } (";
                movetext += sideLine(random, ply, 4, ply % 4 == 0) + ") ";
                makeMove(move);
            }
            if (ply == 240)
                return "[Event \"Annotated\"]\n[Site \"Bench\"]\n[Date \"2024.01.01\"]\n[Round \"1\"]\n"
                       "[White \"A\"]\n[Black \"B\"]\n[Result \"*\"]\n\n" +
                       movetext + "*\n";
        }
    }();
    return text;
}

void BM_ReadAnnotatedGameIntoTheTree(benchmark::State& state) {
    const std::string& text = annotatedGame();
    GameTree           tree;
    for (auto _ : state) {
        parseGameTree(text.c_str(), text.size(), tree);
        benchmark::DoNotOptimize(tree.mainLine.moves.data());
    }
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_ReadAnnotatedGameIntoTheTree)->Unit(benchmark::kMillisecond);

void BM_LoadAnnotatedGameAsTheCurrentGame(benchmark::State& state) {
    const std::string& text = annotatedGame();
    for (auto _ : state)
        benchmark::DoNotOptimize(parseGameText(text.c_str(), text.size()));
}
BENCHMARK(BM_LoadAnnotatedGameAsTheCurrentGame)->Unit(benchmark::kMillisecond);

void BM_WriteAnnotatedGame(benchmark::State& state) {
    const std::string& text = annotatedGame();
    GameTree           tree;
    parseGameTree(text.c_str(), text.size(), tree);
    int comments = 0, sideLines = 0;
    const auto count = [&](const auto& self, const MoveLine& line) -> void {
        for (const MoveNode& node : line.moves) {
            comments += static_cast<int>(node.commentsBefore.size() + node.commentsAfter.size());
            sideLines += static_cast<int>(node.variations.size());
            for (const MoveLine& side : node.variations) self(self, side);
        }
    };
    count(count, tree.mainLine);
    for (auto _ : state)
        benchmark::DoNotOptimize(writeGameTree(tree));
    state.counters["comments"]   = comments;
    state.counters["side_lines"] = sideLines;
}
BENCHMARK(BM_WriteAnnotatedGame)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    initEngine();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
