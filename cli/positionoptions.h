// "--fen FEN" and "--position \"MOVE ...\"": the position a subcommand looks for in a file.
#pragma once

#include <string>

#include "cli/options.h"

inline constexpr KnownOption FenOption = {"--fen", true};
// An empty line of moves, or the word startpos, is the start position itself.
inline constexpr KnownOption PositionOption = {"--position", true, true};

// Whether the parsed options name a position at all.
bool namesPosition(const ParsedArguments& parsed);

// Sets the Board to the position the options name: the start position, or --fen's when it
// was given, followed by --position's moves. False, with the reason in error, for a FEN that
// does not set up, a move that cannot be played, or startpos beside --fen (two positions).
bool setUpNamedPosition(const ParsedArguments& parsed, std::string& error);
