// The sets of bytes that the fast index pass finds with the vector scans of bytescan.h, each
// defined byte by byte from the grammar's own character classes and, with SSE2, sixteen bytes
// at a time.
#pragma once

#include "records/bytescan.h"
#include "records/pgngrammar.h"

namespace pgn_bytes {

using pgn_detail::charClass;

using pgn_detail::charClass;

#if defined(__SSE2__)
using bytescan::either;
using bytescan::equalTo;
using bytescan::within;

// Whitespace: space, tab, line feed, vertical tab, form feed, carriage return.
inline bytescan::ByteVector spaces(bytescan::ByteVector v) {
    return either(equalTo(v, ' '), within(v, '\t', '\r'));
}
// What the movetext skips between tokens: whitespace, "." and suffix marks.
inline bytescan::ByteVector tokenGaps(bytescan::ByteVector v) {
    return either(either(spaces(v), equalTo(v, '.')), either(equalTo(v, '!'), equalTo(v, '?')));
}
#endif

struct NotSpace {
    static constexpr bool holds(unsigned char c) {
        return !(charClass[c] & pgn_detail::SpaceClass);
    }
#if defined(__SSE2__)
    static unsigned bits(bytescan::ByteVector v) {
        return bytescan::complement(bytescan::bitsOf(spaces(v)));
    }
#endif
};

struct NotTokenGap {
    static constexpr bool holds(unsigned char c) {
        return !(charClass[c] & pgn_detail::TokenEndClass);
    }
#if defined(__SSE2__)
    static unsigned bits(bytescan::ByteVector v) {
        return bytescan::complement(bytescan::bitsOf(tokenGaps(v)));
    }
#endif
};

// The end of a tag name of the common shape: its closing space or the quote opening the value.
struct TagNameEnd {
    static constexpr bool holds(unsigned char c) {
        return c == '"' || (charClass[c] & pgn_detail::SpaceClass);
    }
#if defined(__SSE2__)
    static unsigned bits(bytescan::ByteVector v) {
        return bytescan::bitsOf(either(spaces(v), equalTo(v, '"')));
    }
#endif
};

// The end of a tag value, or an escape in it.
struct QuoteOrBackslash {
    static constexpr bool holds(unsigned char c) { return c == '"' || c == '\\'; }
#if defined(__SSE2__)
    static unsigned bits(bytescan::ByteVector v) {
        return bytescan::bitsOf(either(equalTo(v, '"'), equalTo(v, '\\')));
    }
#endif
};

struct ClosingBrace {
    static constexpr bool holds(unsigned char c) { return c == '}'; }
#if defined(__SSE2__)
    static unsigned bits(bytescan::ByteVector v) { return bytescan::bitsOf(equalTo(v, '}')); }
#endif
};

struct LineEnd {
    static constexpr bool holds(unsigned char c) { return c == '\n' || c == '\r'; }
#if defined(__SSE2__)
    static unsigned bits(bytescan::ByteVector v) {
        return bytescan::bitsOf(either(equalTo(v, '\n'), equalTo(v, '\r')));
    }
#endif
};

// What matters inside a variation that is skipped: its brackets, a comment, a line comment.
struct VariationMark {
    static constexpr bool holds(unsigned char c) {
        return c == '(' || c == ')' || c == '{' || c == ';' || c == '%';
    }
#if defined(__SSE2__)
    static unsigned bits(bytescan::ByteVector v) {
        return bytescan::bitsOf(either(either(within(v, '(', ')'), equalTo(v, '{')),
                                       either(equalTo(v, ';'), equalTo(v, '%'))));
    }
#endif
};

// The bytes that end a move token other than whitespace, "." and suffix marks.
struct TokenMark {
    static constexpr bool holds(unsigned char c) {
        return (charClass[c] & pgn_detail::TokenStopClass) &&
               !(charClass[c] & pgn_detail::TokenEndClass);
    }
#if defined(__SSE2__)
    static unsigned bits(bytescan::ByteVector v) {
        return bytescan::bitsOf(
            either(either(within(v, '(', '*'), either(equalTo(v, '{'), equalTo(v, '}'))),
                   either(either(equalTo(v, '['), equalTo(v, '$')),
                          either(equalTo(v, ';'), equalTo(v, 0)))));
    }
#endif
};

struct ZeroDigit {
    static constexpr bool holds(unsigned char c) { return c == '0'; }
#if defined(__SSE2__)
    static unsigned bits(bytescan::ByteVector v) { return bytescan::bitsOf(equalTo(v, '0')); }
#endif
};

struct SuffixMark {
    static constexpr bool holds(unsigned char c) { return c == '!' || c == '?'; }
#if defined(__SSE2__)
    static unsigned bits(bytescan::ByteVector v) {
        return bytescan::bitsOf(either(equalTo(v, '!'), equalTo(v, '?')));
    }
#endif
};

// The first bytes of move tokens: files, piece letters and the castling O.
struct PieceLetter {
    static constexpr bool holds(unsigned char c) {
        return (c >= 'a' && c <= 'h') || (c >= 'N' && c <= 'R') || c == 'B' || c == 'K';
    }
#if defined(__SSE2__)
    static unsigned bits(bytescan::ByteVector v) {
        return bytescan::bitsOf(either(either(within(v, 'a', 'h'), within(v, 'N', 'R')),
                                       either(equalTo(v, 'B'), equalTo(v, 'K'))));
    }
#endif
};

struct Digit {
    static constexpr bool holds(unsigned char c) { return c >= '0' && c <= '9'; }
#if defined(__SSE2__)
    static unsigned bits(bytescan::ByteVector v) { return bytescan::bitsOf(within(v, '0', '9')); }
#endif
};

// The bytes that end a move token.
struct TokenStop {
    static constexpr bool holds(unsigned char c) {
        return charClass[c] & pgn_detail::TokenStopClass;
    }
#if defined(__SSE2__)
    static unsigned bits(bytescan::ByteVector v) {
        return bytescan::bitsOf(tokenGaps(v)) | TokenMark::bits(v);
    }
#endif
};

} // namespace pgn_bytes
