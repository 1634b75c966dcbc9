// The other-tags text of the game-information dialog read back into tag lines.
#pragma once

#include <cstddef>

inline constexpr int OtherTagTextLimit = 255; // characters of a name or a value

// Reads text (up to length bytes or its first zero byte) as tag pairs and writes each complete
// pair into out as [Name "value"] and a line feed. A pair is an opening bracket, the name up to
// the next double quote (whitespace skipped), the value up to the next double quote, then
// anything up to the closing bracket; text between pairs is skipped. A name or value longer
// than 255 characters is an error: that pair and the rest of the text are ignored. Only whole
// pairs are written: the first that does not fit in size bytes ends the output. out is always
// zero-terminated (size at least 1). Answers false when the text held an error.
bool readOtherTags(const char* text, std::size_t length, char* out, std::size_t size);
