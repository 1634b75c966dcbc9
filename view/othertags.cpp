#include "view/othertags.h"

#include "records/textout.h"

namespace {

// The states of the reader; the values are the state numbers.
enum OtherTagState { BetweenPairs = 0, TagName = 1, TagValue = 2, PairEnd = 3, TagError = 4, ValueEscape = 5 };

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

} // namespace

bool readOtherTags(const char* text, std::size_t length, char* out, std::size_t size) {
    TextOut       written(out, size);
    OtherTagState state = BetweenPairs;
    char          name[OtherTagTextLimit + 1];
    char          value[OtherTagTextLimit + 1];
    int           nameLength = 0, valueLength = 0;
    bool          full = false;

    for (std::size_t i = 0; i < length && text[i] && state != TagError && !full; ++i) {
        const char c = text[i];
        switch (state) {
        case BetweenPairs:
            if (c == '[') {
                state      = TagName;
                nameLength = 0;
            }
            break;
        case TagName:
            if (c == '"') {
                state       = TagValue;
                valueLength = 0;
            } else if (!isBlank(c)) {
                if (nameLength == OtherTagTextLimit)
                    state = TagError;
                else
                    name[nameLength++] = c;
            }
            break;
        case TagValue:
        case ValueEscape:
            // Values keep their escapes ("\\\"", "\\\\"), as the tag lines are written; a lone
            // backslash is escaped so that the line reads back as typed.
            // Room for what this byte stores: nothing for the closing quote, two for a lone
            // backslash's escape and the byte after it, one otherwise.
            if (valueLength + (state == ValueEscape ? (c != '"' && c != '\\' ? 2 : 1) : c == '"' ? 0 : 1) >
                OtherTagTextLimit) {
                state = TagError;
            } else if (state == ValueEscape) {
                if (c != '"' && c != '\\') value[valueLength++] = '\\';
                value[valueLength++] = c;
                state                = TagValue;
            } else if (c == '\\') {
                value[valueLength++] = c;
                state                = ValueEscape;
            } else if (c == '"') {
                state = PairEnd;
            } else {
                value[valueLength++] = c;
            }
            break;
        case PairEnd:
            if (c != ']') break;
            // [, name, blank, quote, value, quote, ], line feed: a pair is written whole or
            // not at all, so that the tag lines stay readable.
            if (written.length() + nameLength + valueLength + 6 >= size) {
                full = true;
                break;
            }
            name[nameLength]   = '\0';
            value[valueLength] = '\0';
            written.put('[').put(name).put(' ').put('"').put(value).put('"').put(']').put('\n');
            state = BetweenPairs;
            break;
        case TagError:
            break;
        }
    }
    out[size - 1] = '\0';
    return state != TagError;
}
