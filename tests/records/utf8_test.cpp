#include <gtest/gtest.h>

#include <string>

#include "records/fileplaces.h"
#include "records/utf8.h"

namespace {

TEST(Utf8, SequenceLengths) {
    const struct {
        std::string bytes;
        int         length;
    } cases[] = {
        {"a", 1},           {"\xC3\xA9", 2},        {"\xE6\x97\xA5", 3},     {"\xF0\x9F\x98\x80", 4},
        {"\x80", 0},        {"\xC3", 0},            {"\xC3(", 0},            {"\xC0\xAF", 0},
        {"\xE0\x80\xAF", 0}, {"\xED\xA0\x80", 0},  {"\xF4\x90\x80\x80", 0}, {"\xF5\x80\x80\x80", 0},
        {"\xFF", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf8SequenceLength(reinterpret_cast<const unsigned char*>(c.bytes.data()),
                                     c.bytes.size()),
                  c.length)
            << c.bytes;
}

// Bytes that start no character are quoted one by one, and the text after them stays whole.
TEST(Utf8, QuotedFileBytes) {
    const std::string line = "\xF5\x80\x80 Nf3 \xE6\x97\xA5\x01";
    char              text[64];
    quoteFileBytes(line.data(), line.size(), text, sizeof text);
    EXPECT_STREQ(text, "\\xF5\\x80\\x80 Nf3 \xE6\x97\xA5\\x01");
}

} // namespace
