// perft DEPTH [--fen FEN] [--divide]: leaves of the legal-move tree, with the speed.
#include <chrono>
#include <iostream>

#include "cli/commands.h"
#include "engine/coords.h"
#include "engine/makemove.h"
#include "engine/perft.h"
#include "engine/search.h"

int runPerft(const Arguments& args) {
    std::string fen, depthText;
    bool        divide = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--fen" && i + 1 < args.size())
            fen = args[++i];
        else if (args[i] == "--divide")
            divide = true;
        else if (depthText.empty() && args[i].rfind("--", 0) != 0)
            depthText = args[i];
        else
            return fail("perft: unexpected argument: " + args[i]);
    }
    long long depth = 0;
    if (!readNumber(depthText, 1, 20, depth)) return fail("perft: DEPTH must be a number from 1 to 20");
    std::string error;
    if (!startPosition(fen, error)) return fail("perft: " + error);

    const auto    start = std::chrono::steady_clock::now();
    std::uint64_t nodes = 0;
    if (divide) {
        Move  moves[MaxMovesPerPly];
        Move* end = genLegalMoves(moves);
        for (Move* m = moves; m != end; ++m) {
            makeMove(*m);
            const std::uint64_t count = perft(static_cast<int>(depth) - 1);
            unmakeMove(*m);
            char text[8];
            moveToCoords(*m, text);
            std::cout << text << ": " << count << '\n';
            nodes += count;
        }
    } else {
        nodes = perft(static_cast<int>(depth));
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "nps " << static_cast<long long>(seconds > 0 ? nodes / seconds : 0) << '\n';
    std::cout << "nodes " << nodes << '\n';
    return 0;
}
