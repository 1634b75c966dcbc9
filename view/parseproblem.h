// The message on a game that was read only in part, in the program's words.
#pragma once

#include <QString>

#include "records/pgnread.h"

// Says which move could not be read (number and text), or why the game is not replayed;
// empty when the game was read whole.
QString parseProblemMessage(const ParseOutcome& outcome);
