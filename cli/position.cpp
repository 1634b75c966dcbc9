// position [--fen FEN] [MOVE ...]: the position after the moves, as FEN and hash key.
#include <iostream>

#include "cli/commands.h"
#include "book/openings.h"
#include "engine/board.h"
#include "records/fen.h"

int runPosition(const Arguments& args) {
    std::string              fen;
    std::vector<std::string> moves;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--fen") {
            if (i + 1 == args.size()) return fail("position: --fen needs a FEN");
            fen = args[++i];
        } else if (args[i].rfind("--", 0) == 0) {
            return fail("position: unknown option: " + args[i]);
        } else {
            moves.push_back(args[i]);
        }
    }
    std::string error;
    if (!startPosition(fen, error) || !playMoves(moves, error)) return fail("position: " + error);

    char text[256];
    boardToText(text, sizeof text);
    const std::string key = hexKey(board.hashKey);
    std::cout << "fen: " << text << '\n';
    std::cout << "key: " << key << '\n';
    const int opening = findOpening(board.hashKey);
    if (opening != NoOpening) {
        char code[4];
        ecoCodeText(opening, code);
        std::cout << "opening: " << code << ' ' << openingName(opening) << '\n';
    }
    std::cout << "key " << key << '\n';
    return 0;
}
