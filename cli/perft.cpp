// perft DEPTH [--fen FEN] [--divide]: leaves of the legal-move tree, with the speed.
#include <chrono>
#include <iostream>

#include "cli/commands.h"
#include "cli/options.h"
#include "engine/coords.h"
#include "engine/makemove.h"
#include "engine/perft.h"
#include "engine/search.h"

int runPerft(const Arguments& args) {
    ParsedArguments parsed;
    std::string     error;
    if (!parseArguments(args, {{"--fen", true}, {"--divide", false}}, parsed, error))
        return usageError("perft", error);
    if (parsed.operands.size() != 1) return usageError("perft", "takes one DEPTH");
    long long depth = 0;
    if (!readNumber(parsed.operands[0], 1, 20, depth))
        return usageError("perft", "DEPTH must be a number from 1 to 20");
    const bool divide = parsed.has("--divide");
    if (!startPosition(parsed.value("--fen"), error)) return fail("perft: " + error);

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
