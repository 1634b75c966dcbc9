// The index pass on any file: ranges inside the file, each starting at "[", each game readable
// without harm; then the position pass over the same file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz_common.h"
#include "records/gameindex.h"
#include "records/pgnread.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = "/tmp/norvane-fuzz-index-" + std::to_string(getpid()) + ".pgn";
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, out);
        std::fclose(out);
    } else {
        return 0;
    }
    BufferedFile           file;
    FileInfo               info{};
    std::vector<GameEntry> games;
    PlayerNames            names;
    ScanFailure            failure{};
    FUZZ_CHECK(file.open(path.c_str()));
    const bool ok = scanPgnFile(file, info, games, names, IndexMode, nullptr, nullptr, &failure);
    FUZZ_CHECK(ok || (failure.line >= 1 && failure.text[255] == '\0'));
    FUZZ_CHECK(static_cast<std::size_t>(info.games) == games.size());
    std::int64_t previousEnd = -1;
    for (const GameEntry& e : games) {
        FUZZ_CHECK(e.start() > previousEnd && e.end() > e.start() &&
                   e.end() < static_cast<std::int64_t>(size));
        FUZZ_CHECK(data[e.start()] == '[');
        FUZZ_CHECK(e.white < names.size() && e.black < names.size());
        previousEnd = e.end();
        std::string text;
        FUZZ_CHECK(readGameText(file, &e, text) == static_cast<std::size_t>(e.end() - e.start() + 1));
        parseGameText(text.c_str(), text.size());
    }
    if (ok) {
        setupStartPosition();
        SearchFilter filter = emptyFilter();
        setPositionCriterion(filter);
        std::int64_t first = 0;
        FUZZ_CHECK(scanPgnFile(file, info, games, names, SearchMode, &filter, &first, nullptr));
    }
    unlink(path.c_str());
    return 0;
}
