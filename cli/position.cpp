// position [--fen FEN] [--names en|ja] [--last-named] [MOVE ...]: the position after the
// moves, as FEN and hash key, and the opening it is in.
#include <iostream>

#include "cli/commands.h"
#include "cli/openingnames.h"
#include "cli/options.h"
#include "engine/board.h"
#include "records/fen.h"

int runPosition(const Arguments& args) {
    ParsedArguments     parsed;
    OpeningNameSettings names;
    std::string         error;
    if (!parseArguments(args, {{"--fen", true}, NamesOption, LastNamedOption}, parsed, error) ||
        !readOpeningNameOptions(parsed, names, error))
        return usageError("position", error);
    if (!startPosition(parsed.value("--fen"), error) || !playMoves(parsed.operands, error))
        return fail("position: " + error);

    char text[256];
    boardToText(text, sizeof text);
    const std::string key = hexKey(board.hashKey);
    std::cout << "fen: " << text << '\n';
    std::cout << "key: " << key << '\n';
    std::cout << openingLine(names);
    std::cout << "key " << key << '\n';
    return 0;
}
