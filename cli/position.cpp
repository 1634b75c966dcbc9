// position [--fen FEN] [--names en|ja] [--last-named] [MOVE ...]: the position after the
// moves, as FEN and hash key, and the opening it is named after.
#include <iostream>

#include "cli/commands.h"
#include "cli/openingnames.h"
#include "engine/board.h"
#include "records/fen.h"

int runPosition(const Arguments& args) {
    std::string              fen;
    std::vector<std::string> moves;
    OpeningNameSettings      names;
    std::string              error;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const int option = readOpeningNameOption(args, i, names, error);
        if (option == OptionBad) return fail("position: " + error);
        if (option == OptionRead) continue;
        if (args[i] == "--fen") {
            if (i + 1 == args.size()) return fail("position: --fen needs a FEN");
            fen = args[++i];
        } else if (args[i].rfind("--", 0) == 0) {
            return fail("position: unknown option: " + args[i]);
        } else {
            moves.push_back(args[i]);
        }
    }
    if (!startPosition(fen, error) || !playMoves(moves, error)) return fail("position: " + error);

    char text[256];
    boardToText(text, sizeof text);
    const std::string key = hexKey(board.hashKey);
    std::cout << "fen: " << text << '\n';
    std::cout << "key: " << key << '\n';
    std::cout << openingLine(names);
    std::cout << "key " << key << '\n';
    return 0;
}
