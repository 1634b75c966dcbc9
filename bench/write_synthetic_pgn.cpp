// Writes a large synthetic PGN file for the memory figures of the README (the explorer's and
// the index's peak memory, measured with /usr/bin/time -v on norvane-cli tree and info):
//
//   build/write_synthetic_pgn random GAMES PLIES OUT   games of random legal moves
//   build/write_synthetic_pgn tiny GAMES OUT           games of one tag and "*"
//
// The same file every run (a fixed seed).
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "engine/attacks.h"
#include "engine/board.h"
#include "engine/makemove.h"
#include "engine/movegen.h"
#include "records/san.h"

namespace {

// One game of up to plies random legal moves from the initial position, in SAN.
std::string randomGame(std::mt19937& random, int plies, int number) {
    std::string text = "[Event \"random " + std::to_string(number) + "\"]\n[Date \"" +
                       std::to_string(1950 + number % 70) + ".01.01\"]\n\n";
    setupStartPosition();
    for (int ply = 0; ply < plies; ++ply) {
        Move  moves[256];
        Move* end   = genAllMoves(board.sideToMove, moves);
        int   legal = 0;
        for (Move* m = moves; m < end; ++m)
            if (!leavesKingAttacked(*m)) moves[legal++] = *m;
        if (legal == 0) break;
        const Move move = moves[random() % static_cast<unsigned>(legal)];
        char       san[16];
        moveToSan(move, san);
        if (ply % 2 == 0) text += std::to_string(ply / 2 + 1) + ". ";
        text += san;
        text += ' ';
        makeMove(move);
    }
    static const char* const results[] = {"1-0", "0-1", "1/2-1/2", "*"};
    return text + results[number % 4] + "\n\n";
}

} // namespace

int main(int argc, char** argv) {
    const std::string kind = argc > 1 ? argv[1] : "";
    if (!((kind == "random" && argc == 5) || (kind == "tiny" && argc == 4))) {
        std::fputs("usage: write_synthetic_pgn random GAMES PLIES OUT | tiny GAMES OUT\n", stderr);
        return 2;
    }
    const long  games = std::atol(argv[2]);
    std::FILE*  out   = std::fopen(argv[argc - 1], "wb");
    if (!out) return 2;
    initEngine();
    std::mt19937 random(1);
    const int    plies = kind == "random" ? std::atoi(argv[3]) : 0;
    for (long k = 0; k < games; ++k) {
        const std::string text =
            kind == "random" ? randomGame(random, plies, static_cast<int>(k)) : "[White \"a\"]\n*\n";
        std::fwrite(text.data(), 1, text.size(), out);
    }
    return std::fclose(out) == 0 ? 0 : 2;
}
