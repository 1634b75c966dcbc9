// Writing the current game as PGN text.
#pragma once

#include <cstddef>

#include "records/game.h"

// Room for any game the current-game record can hold, with its line ends turned into CR LF:
// six tag lines of 255-character values all escaped, Result, ECO, SetUp and FEN lines, full
// otherTags, 512 moves of seven characters with their numbers, and the termination token.
inline constexpr std::size_t GameRecordSize = 24576;
static_assert(GameRecordSize >= 2 * (6 * (8 + 2 * 255 + 3) + 21 + 13 + 14 + (6 + 2 * 255 + 3) +
                                     OtherTagsSize + 1 + 12 +
                                     MaxGameMoves * (4 + 7 + 1) + 10));

// Writes the current game into buffer: the seven tag lines (empty fields as "-"; quotes and
// backslashes in values escaped), the ECO line, SetUp and FEN for a game from a set-up
// position, otherTags, a blank line, the moves from the game's start with numbers before
// White's moves (and "N..." before a first move of Black's) and a line feed after every tenth
// half-move, and the termination token. Bounded: text that does not fit is
// dropped, so callers pass GameRecordSize. Leaves the Board after the game's last move.
void writeGameRecord(char* buffer, std::size_t size);

inline constexpr int CrLfDone = 1, CrLfNoRoom = 0, CrLfLoneCr = 2, CrLfNoMemory = 3;
// Turns the text's line feeds into CR LF in place. CrLfDone also when there was nothing to do;
// on any other code the text is unchanged. Sizes above 1 MB are refused (CrLfNoRoom).
int toCrLf(char* buffer, std::size_t size);
