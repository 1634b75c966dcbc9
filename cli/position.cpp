// position [--fen FEN] [--names en|ja] [--last-named] [MOVE ...]: the position after the
// moves, as FEN and hash key, the opening it is in, and how the game stands under the rules
// that end it (counting over the moves given, from the FEN's half-move clock where one is given).
#include <iostream>

#include "cli/commands.h"
#include "cli/openingnames.h"
#include "cli/options.h"
#include "engine/board.h"
#include "engine/drawrules.h"
#include "records/game.h"
#include "records/fen.h"

namespace {

const char* outcomeWord(GameOutcome outcome) {
    switch (outcome) {
    case OutcomeCheckmate: return "checkmate";
    case OutcomeStalemate: return "stalemate";
    case OutcomeInsufficient: return "insufficient";
    case OutcomeFivefold: return "fivefold";
    case OutcomeSeventyFive: return "seventyfive";
    case OutcomeNone: break;
    }
    return "none";
}

const char* claimWord(int claims) {
    switch (claims) {
    case ClaimThreefold: return "threefold";
    case ClaimFifty: return "fifty";
    case ClaimBoth: return "both";
    default: return "none";
    }
}

}  // namespace

int runPosition(const Arguments& args) {
    ParsedArguments     parsed;
    OpeningNameSettings names;
    std::string         error;
    if (!parseArguments(args, {{"--fen", true}, NamesOption, LastNamedOption}, parsed, error) ||
        !readOpeningNameOptions(parsed, names, error))
        return usageError("position", error);
    const std::string fen = parsed.value("--fen");
    if (!startPosition(fen, error)) return fail("position: " + error);
    DrawHistory history;
    history.start(fen.empty() ? 0 : fenHalfMoveClock(fen.c_str()));
    for (const std::string& move : parsed.operands) {
        if (!playMoves({move}, error)) return fail("position: " + error);
        history.played(gameMoves[gamePly - 1]);
    }

    char text[256];
    boardToText(text, sizeof text);
    const std::string key = hexKey(board.hashKey);
    std::cout << "fen: " << text << '\n';
    std::cout << "key: " << key << '\n';
    std::cout << openingLine(names);
    // Before the last line, which scripts read as the key.
    std::cout << "outcome " << outcomeWord(history.outcome()) << '\n';
    std::cout << "claimable " << claimWord(history.claimable()) << '\n';
    std::cout << "key " << key << '\n';
    return 0;
}
