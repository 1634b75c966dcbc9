#include "records/filechunks.h"

#include <cstddef>
#include <cstring>

namespace {

bool isLineEnd(char c) { return c == '\n' || c == '\r'; }

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Where a game most likely starts in text[0, n): the first "[" and letter that start a line
// after a blank line (CR, LF or CR LF end lines); failing that, the first "[Event" that starts
// a line, for files that write no blank line between games; -1 when there is neither.
std::ptrdiff_t firstLikelyGameStart(const char* text, std::ptrdiff_t n) {
    std::ptrdiff_t eventLine = -1;
    for (std::ptrdiff_t i = 3; i + 1 < n; ++i) {
        if (text[i] != '[' || !isLetter(text[i + 1])) continue;
        // Back over the line end before the "[", then there must be another one.
        std::ptrdiff_t j = i;
        if (text[j - 1] == '\n' && text[j - 2] == '\r')
            j -= 2;
        else if (isLineEnd(text[j - 1]))
            j -= 1;
        else
            continue;
        if (isLineEnd(text[j - 1])) return i;
        if (eventLine < 0 && n - i > 6 && std::memcmp(text + i, "[Event", 6) == 0) eventLine = i;
    }
    return eventLine;
}

} // namespace

std::vector<std::int64_t> chunkStarts(const BufferedFile& file, std::int64_t chunkBytes) {
    const std::int64_t        size = file.size();
    std::vector<std::int64_t> starts{0};
    if (chunkBytes < 1) chunkBytes = 1;
    // Looked for in windows of a few kilobytes, up to a megabyte after the cut.
    constexpr std::ptrdiff_t Window = 4 << 10, Overlap = 4, Reach = 1 << 20;
    std::vector<char>        text(Window);
    for (std::int64_t cut = chunkBytes; cut < size; cut += chunkBytes) {
        if (cut <= starts.back()) continue;
        // From a few bytes before the cut, so that a game starting right at it is found; each
        // window overlaps the last by as much.
        for (std::int64_t from = cut - 3; from < cut + Reach && from < size; from += Window - Overlap) {
            const auto n = static_cast<std::ptrdiff_t>(file.readAt(from, text.data(), Window));
            const std::ptrdiff_t at = firstLikelyGameStart(text.data(), n);
            if (at >= 0) {
                starts.push_back(from + at);
                break;
            }
            if (n < Window) break;
        }
    }
    starts.push_back(size);
    return starts;
}
