// think [--fen FEN] [MOVE ...] [--time-ms N] [--book FILE]: the engine's choice in a position.
#include <iostream>

#include "book/book.h"
#include "cli/commands.h"
#include "engine/coords.h"
#include "engine/search.h"
#include "engine/think.h"

int runThink(const Arguments& args) {
    std::string              fen, book;
    std::vector<std::string> moves;
    long long                timeMs = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--fen" || args[i] == "--time-ms" || args[i] == "--book") {
            if (i + 1 == args.size()) return fail("think: " + args[i] + " needs a value");
            const std::string& value = args[++i];
            if (args[i - 1] == "--fen")
                fen = value;
            else if (args[i - 1] == "--book")
                book = value;
            else if (!readNumber(value, 1, 1000000000, timeMs))
                return fail("think: --time-ms needs a number of milliseconds from 1 to 1000000000");
        } else if (args[i].rfind("--", 0) == 0) {
            return fail("think: unknown option: " + args[i]);
        } else {
            moves.push_back(args[i]);
        }
    }
    std::string error;
    if (!startPosition(fen, error) || !playMoves(moves, error)) return fail("think: " + error);
    if (book.empty())
        useBookBesideProgram();
    else
        setBookPath(book.c_str());

    ThinkLimits limits = DesktopLimits;
    if (timeMs > 0) {
        limits.hardLimitMs = timeMs;
        limits.softLimitMs = timeMs / 2;
    }
    Move      chosen{};
    const int score = thinkMove(board.sideToMove, &chosen, limits);
    // A side that gives up (every move loses to a mate) still names a move here.
    const Move move = playableMove(chosen);

    char text[8];
    moveToCoords(move, text);
    std::cout << "score " << score << '\n';
    std::cout << "depth " << thinkDepth << '\n';
    std::cout << "nodes " << searchNodes << '\n';
    std::cout << "book " << (thinkFromBook ? "yes" : "no") << '\n';
    std::cout << "bestmove " << (move.fromTo != 0 ? text : "none") << '\n';
    return 0;
}
