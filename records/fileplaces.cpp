#include "records/fileplaces.h"

#include <cstring>

#include "records/utf8.h"

void quoteFileBytes(const char* line, std::size_t n, char* text, std::size_t size) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::size_t           k     = 0;
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        std::size_t         length = static_cast<std::size_t>(
            utf8SequenceLength(reinterpret_cast<const unsigned char*>(line) + i, n - i));
        if (length == 1 && (c < 0x20 || c == 0x7F)) length = 0;
        if (length == 0) {
            if (k + 4 >= size) break;
            text[k++] = '\\';
            text[k++] = 'x';
            text[k++] = hex[c >> 4];
            text[k++] = hex[c & 15];
            ++i;
            continue;
        }
        if (k + length >= size) break;
        std::memcpy(text + k, line + i, length);
        k += length;
        i += length;
    }
    text[k] = '\0';
}

bool locateOffsets(BufferedFile& file, const std::int64_t* offsets, int count,
                   ScanFailure* places) {
    if (count <= 0) return true;
    std::int64_t line = 1, lineStart = 0, position = 0;
    std::vector<std::int64_t> starts(static_cast<std::size_t>(count));
    char                      previous = '\0';
    int                       next     = 0;
    if (!file.seek(0)) return false;
    while (next < count) {
        const std::size_t n = file.refill();
        const char*       data = file.data();
        for (std::size_t i = 0; i < n && next < count; ++i) {
            while (next < count && offsets[next] <= position + static_cast<std::int64_t>(i)) {
                places[next].offset = offsets[next];
                places[next].line   = line;
                starts[static_cast<std::size_t>(next)] = lineStart;
                ++next;
            }
            const char c = data[i];
            // CR, LF and CR LF each end one line.
            if (c == '\r' || (c == '\n' && previous != '\r')) ++line;
            if (c == '\r' || c == '\n') lineStart = position + static_cast<std::int64_t>(i) + 1;
            previous = c;
        }
        position += static_cast<std::int64_t>(n);
        if (n == 0) break;
    }
    for (; next < count; ++next) { // offsets at or past the end of the file
        places[next].offset                    = offsets[next];
        places[next].line                      = line;
        starts[static_cast<std::size_t>(next)] = lineStart;
    }
    for (int k = 0; k < count; ++k) {
        char              text[255];
        std::size_t       n = 0;
        if (file.seek(starts[static_cast<std::size_t>(k)])) n = file.read(text, sizeof text);
        std::size_t length = 0;
        while (length < n && text[length] != '\n' && text[length] != '\r')
            ++length;
        quoteFileBytes(text, length, places[k].text, sizeof places[k].text);
    }
    return true;
}

std::vector<ScanFailure> skippedGamePlaces(BufferedFile& file, const FileInfo& info) {
    const int noted = info.skippedGames < NotedSkips ? info.skippedGames : NotedSkips;
    std::vector<ScanFailure> places(static_cast<std::size_t>(noted), ScanFailure{FileProblem::GameSkipped, 0, 0, {}});
    if (!locateOffsets(file, info.skippedAt, noted, places.data())) places.clear();
    return places;
}
