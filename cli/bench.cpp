// bench: a fixed-depth search over a fixed set of positions. The node total is the search's
// signature: it changes only when the search or the evaluation changes.
#include <iostream>

#include "cli/commands.h"
#include "engine/coords.h"
#include "engine/search.h"
#include "engine/think.h"

namespace {

struct BenchPosition {
    const char* fen;  // empty: the initial position
    int         depth;
};

// Opening, middlegame and endgame positions, one with a mate in one.
constexpr BenchPosition benchPositions[] = {
    {"", 6},
    {"r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 4 4", 5},
    {"rnbqkb1r/pp2pppp/3p1n2/8/3NP3/2N5/PPP2PPP/R1BQKB1R b KQkq - 2 5", 5},
    {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 4},
    {"r1bq1rk1/pp1nbppp/2p1pn2/3p4/2PP4/2NBPN2/PPQ2PPP/R1B2RK1 w - - 0 9", 5},
    {"r1b2rk1/2q1bppp/p2ppn2/1p6/3BPP2/2N2B2/PPPQ2PP/2KR3R w - - 0 13", 5},
    {"6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", 5},
    {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 7},
    {"8/5pk1/6p1/8/3K4/8/5PP1/8 w - - 0 1", 8},
    {"4r1k1/1p3ppp/p7/8/8/1P3N2/P4PPP/2R3K1 b - - 0 25", 6},
};

}  // namespace

int runBench(const Arguments& args) {
    if (!args.empty()) return usageError("bench", "takes no arguments");
    std::uint64_t      total = 0;
    const std::int64_t start = clockMs();
    for (const BenchPosition& position : benchPositions) {
        std::string error;
        if (!startPosition(position.fen, error)) return fail("bench: " + error);
        const ThinkLimits limits = {NoTimeLimit, NoTimeLimit, position.depth, false, nullptr};
        Move              move{};
        const int         score = thinkMove(board.sideToMove, &move, limits);
        char              text[8];
        moveToCoords(move, text);
        std::cout << "depth " << position.depth << " score " << score << " move " << text
                  << " nodes " << searchNodes << '\n';
        total += searchNodes;
    }
    const std::int64_t elapsed = clockMs() - start;
    std::cout << "nodes " << total << " nps "
              << (elapsed > 0 ? total * 1000 / static_cast<std::uint64_t>(elapsed) : total)
              << '\n';
    return 0;
}
