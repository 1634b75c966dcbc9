// position [--fen FEN] [MOVE ...]: the position after the moves, as FEN and hash key.
#include <iostream>

#include "cli/commands.h"
#include "cli/options.h"
#include "book/openings.h"
#include "engine/board.h"
#include "records/fen.h"

int runPosition(const Arguments& args) {
    ParsedArguments parsed;
    std::string     error;
    if (!parseArguments(args, {{"--fen", true}}, parsed, error)) return usageError("position", error);
    if (!startPosition(parsed.value("--fen"), error) || !playMoves(parsed.operands, error))
        return fail("position: " + error);

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
