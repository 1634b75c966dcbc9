// The one UTF-8 sequence check of the program: the reader's quoting of file bytes, the engine
// client's test of an engine's line and the desktop's choice of a text's encoding all use it.
#pragma once

#include <cstddef>

// The length (1-4) of the well-formed UTF-8 character that starts at p, of the available bytes
// there; 0 when none does (a stray continuation byte, a cut or overlong sequence, a surrogate,
// a value past U+10FFFF).
inline int utf8SequenceLength(const unsigned char* p, std::size_t available) {
    if (available == 0) return 0;
    const unsigned char c = p[0];
    if (c < 0x80) return 1;
    const int length = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (length == 0 || static_cast<std::size_t>(length) > available) return 0;
    for (int k = 1; k < length; ++k)
        if ((p[k] & 0xC0) != 0x80) return 0;
    // Overlong three- and four-byte forms, surrogates and values past U+10FFFF.
    if ((c == 0xE0 && p[1] < 0xA0) || (c == 0xED && p[1] >= 0xA0) || (c == 0xF0 && p[1] < 0x90) ||
        (c == 0xF4 && p[1] >= 0x90))
        return 0;
    return length;
}
