// A bounded text stream over a caller's buffer: what does not fit is dropped and the text
// stays zero-terminated. All record and status texts are written through it.
#pragma once

#include <cstddef>

class TextOut {
public:
    // size must be at least 1; the buffer is emptied.
    TextOut(char* buffer, std::size_t size) : m_buffer(buffer), m_size(size) { m_buffer[0] = '\0'; }

    TextOut& put(char c) {
        if (m_length + 1 < m_size) {
            m_buffer[m_length++] = c;
            m_buffer[m_length]   = '\0';
        } else {
            m_overflowed = true;
        }
        return *this;
    }
    TextOut& put(const char* text) {
        while (*text) put(*text++);
        return *this;
    }
    TextOut& putInt(long long value) {
        char digits[24];
        int  n = 0;
        unsigned long long magnitude =
            value < 0 ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
        do {
            digits[n++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude);
        if (value < 0) put('-');
        while (n) put(digits[--n]);
        return *this;
    }

    std::size_t length() const { return m_length; }
    // True once anything was dropped.
    bool overflowed() const { return m_overflowed; }

private:
    char*       m_buffer;
    std::size_t m_size;
    std::size_t m_length     = 0;
    bool        m_overflowed = false;
};
