// Finding the first byte of a set in a run of text: sixteen bytes at a time with SSE2 (always
// there on x86-64), one at a time elsewhere and for the last bytes of a run.
//
// A set is a class with two static members that agree on every byte value:
//   static constexpr bool holds(unsigned char c)     c belongs to the set
//   static unsigned       bits(ByteVector v)         (SSE2 only) bit i set when byte i of v
//                                                    belongs to the set, bits 16 and up clear
#pragma once

#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace bytescan {

#if defined(__SSE2__)
using ByteVector = __m128i;

inline constexpr int VectorBytes = 16;

inline ByteVector loadBytes(const char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// 0xFF in each byte of v equal to c, else 0.
inline ByteVector equalTo(ByteVector v, char c) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(c)); }

// 0xFF in each byte of v from low to high (unsigned), else 0.
inline ByteVector within(ByteVector v, unsigned char low, unsigned char high) {
    const ByteVector offset = _mm_sub_epi8(v, _mm_set1_epi8(static_cast<char>(low)));
    const ByteVector span   = _mm_set1_epi8(static_cast<char>(high - low));
    return _mm_cmpeq_epi8(_mm_min_epu8(offset, span), offset);
}

inline ByteVector either(ByteVector a, ByteVector b) { return _mm_or_si128(a, b); }

inline unsigned bitsOf(ByteVector v) { return static_cast<unsigned>(_mm_movemask_epi8(v)); }

// The bits of the bytes not in a set, from the bits of those in it.
inline unsigned complement(unsigned bits) { return ~bits & 0xFFFFu; }
#endif

// Bit i set when byte i of the 64 from p is in Set.
template <class Set> inline std::uint64_t setBits64(const char* p) {
#if defined(__SSE2__)
    return std::uint64_t{Set::bits(loadBytes(p))} |
           std::uint64_t{Set::bits(loadBytes(p + 16))} << 16 |
           std::uint64_t{Set::bits(loadBytes(p + 32))} << 32 |
           std::uint64_t{Set::bits(loadBytes(p + 48))} << 48;
#else
    std::uint64_t bits = 0;
    for (int i = 0; i < 64; ++i)
        bits |= std::uint64_t{Set::holds(static_cast<unsigned char>(p[i]))} << i;
    return bits;
#endif
}

// The first byte of [p, end) in Set, or end.
template <class Set> inline const char* findFirst(const char* p, const char* const end) {
#if defined(__SSE2__)
    for (; end - p >= VectorBytes; p += VectorBytes)
        if (const unsigned bits = Set::bits(loadBytes(p))) return p + std::countr_zero(bits);
#endif
    while (p < end && !Set::holds(static_cast<unsigned char>(*p)))
        ++p;
    return p;
}

} // namespace bytescan
