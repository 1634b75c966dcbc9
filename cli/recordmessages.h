// The command line's English words for what the record readers report as data.
#pragma once

#include <string>

#include "records/gameindex.h"
#include "records/pgnread.h"

// A problem of a file at a place: "no game can be read; the first breaks at line 20: 1. e4 Z0 *",
// "the file changed since it was indexed (its end, line 42: ...)", "game skipped at line 7: ...".
std::string fileProblemText(const ScanFailure& failure);

// Why a game was not read whole: "move 12... Ke3 cannot be read", "the game exceeds the limit
// of 512 half-moves (at move 257.)", ...; empty when it was.
std::string parseProblemText(const ParseOutcome& outcome);
