// Reading one game: its text cut out of the file by its byte range, and the game parser.
#pragma once

#include <cstddef>
#include <string>

#include "records/bufferedfile.h"
#include "records/gameindex.h"

// Reads text (up to its first zero byte or maxLength bytes) as one game into the current
// game: tags, info word and moves, each move checked by replaying it. Stops after the game's
// termination token. The Board is left at the initial position and gamePly at 0. False when
// the text breaks the grammar or holds a move that is not legal; what was read before stays.
bool parseGameText(const char* text, std::size_t maxLength);

// The whole byte range of entry's game from file into text, whatever its length. Answers
// the number of bytes read; 0 (text empty) when entry is null, its range is empty or the
// file cannot be read there.
std::size_t readGameText(BufferedFile& file, const GameEntry* entry, std::string& text);
