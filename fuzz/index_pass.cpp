// The index pass on any file: ranges inside the file, each starting at "[", each game readable
// without harm; the same entries and counts when the file is read in small ranges on several
// threads; then the position pass over the same file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_common.h"
#include "records/gameindex.h"
#include "records/fileplaces.h"
#include "records/indexpass.h"
#include "records/positionsearch.h"
#include "records/passthreads.h"
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
    const bool ok = indexFile(file, info, games, names, &failure);
    FUZZ_CHECK(ok || (failure.line >= 1 && failure.text[255] == '\0'));
    FUZZ_CHECK(static_cast<std::size_t>(info.games) == games.size());
    {
        setPassThreads(3);
        setPassChunkBytes(static_cast<std::int64_t>(size / 7 + 1));
        FileInfo               cutInfo{};
        std::vector<GameEntry> cutGames;
        PlayerNames            cutNames;
        const bool cutOk = indexFile(file, cutInfo, cutGames, cutNames);
        setPassThreads(0);
        setPassChunkBytes(0);
        FUZZ_CHECK(cutOk == ok && std::memcmp(&cutInfo, &info, sizeof info) == 0 &&
                   cutGames.size() == games.size());
        for (std::size_t k = 0; k < games.size(); ++k) {
            const GameEntry &a = cutGames[k], &b = games[k];
            FUZZ_CHECK(a.number == b.number && a.info == b.info && a.moves == b.moves &&
                       a.year == b.year && a.start() == b.start() && a.end() == b.end() &&
                       cutNames.name(a.white) == names.name(b.white) &&
                       cutNames.name(a.black) == names.name(b.black) &&
                       a.month == b.month && a.day == b.day && a.whiteElo == b.whiteElo &&
                       a.blackElo == b.blackElo && cutNames.name(a.event) == names.name(b.event) &&
                       cutNames.name(a.site) == names.name(b.site) &&
                       cutNames.name(a.round) == names.name(b.round));
        }
    }
    std::int64_t previousEnd = -1;
    for (const GameEntry& e : games) {
        FUZZ_CHECK(e.start() > previousEnd && e.end() > e.start() &&
                   e.end() < static_cast<std::int64_t>(size));
        FUZZ_CHECK(data[e.start()] == '[');
        FUZZ_CHECK(e.white < names.size() && e.black < names.size() && e.event < names.size() &&
                   e.site < names.size() && e.round < names.size());
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
        FUZZ_CHECK(findPosition(file, games, names, filter, first));
    }
    unlink(path.c_str());
    return 0;
}
