// think [--fen FEN] [MOVE ...] [--time-ms N] [--book FILE]: the engine's choice in a position.
#include <iostream>

#include "book/book.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "engine/coords.h"
#include "engine/enginesearch.h"
#include "engine/think.h"
#include "records/san.h"

int runThink(const Arguments& args) {
    ParsedArguments parsed;
    std::string     error;
    if (!parseArguments(args, {{"--fen", true}, {"--time-ms", true}, {"--book", true}}, parsed, error))
        return usageError("think", error);
    long long timeMs = 0;
    if (parsed.has("--time-ms") && !readNumber(parsed.value("--time-ms"), 1, 1000000000, timeMs))
        return usageError("think", "--time-ms needs a number of milliseconds from 1 to 1000000000");
    const std::string book = parsed.value("--book");
    if (!startPosition(parsed.value("--fen"), error) || !playMoves(parsed.operands, error))
        return fail("think: " + error);
    if (book.empty())
        useBookBesideProgram();
    else
        setBookPath(book.c_str());

    ThinkLimits limits = DesktopLimits;
    if (timeMs > 0) {
        limits.hardLimitMs = timeMs;
        limits.softLimitMs = timeMs / 2;
    }
    EngineSearch       search(board, limits, false);
    const EngineResult result = search.run();
    // A side that gives up (every move loses to a mate) still names a move here.
    const Move move = playableMove(result.move);

    char text[8], san[8] = "none";
    moveToCoords(move, text);
    if (move.fromTo != 0) moveToSan(move, san);
    std::cout << "score " << result.score << '\n';
    std::cout << "depth " << result.depth << '\n';
    std::cout << "nodes " << result.nodes << '\n';
    std::cout << "book " << (result.fromBook ? "yes" : "no") << '\n';
    std::cout << "san " << san << '\n';
    std::cout << "bestmove " << (move.fromTo != 0 ? text : "none") << '\n';
    return 0;
}
