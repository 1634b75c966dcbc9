#include "cli/indexedfile.h"

#include <iostream>

#include "cli/common.h"
#include "cli/filekind.h"
#include "cli/output.h"
#include "cli/recordmessages.h"
#include "records/fileplaces.h"
#include "records/indexpass.h"

namespace {

// Notes on standard error what of a readable file was not read: damaged games (with the
// lines of the first), zero bytes and text outside any game (with the first offsets). The
// exit status stays that of a readable file.
void reportUnread(const std::string& command, const std::string& path, IndexedFile& indexed) {
    const FileInfo&   info   = indexed.info;
    const std::string prefix = "norvane-cli: " + command + ": " + path + ": ";
    for (const ScanFailure& place : skippedGamePlaces(indexed.file, info))
        std::cerr << prefix << fileProblemText(place) << '\n';
    if (info.skippedGames > 0)
        std::cerr << prefix << info.skippedGames
                  << (info.skippedGames == 1 ? " damaged game skipped\n"
                                             : " damaged games skipped\n");
    if (info.zeroBytes == 1)
        std::cerr << prefix << "1 zero byte at offset " << info.firstZero << '\n';
    else if (info.zeroBytes > 1)
        std::cerr << prefix << info.zeroBytes << " zero bytes, the first at offset "
                  << info.firstZero << '\n';
    if (info.strayBytes == 1)
        std::cerr << prefix << "1 byte of text outside any game at offset " << info.firstStray
                  << '\n';
    else if (info.strayBytes > 1)
        std::cerr << prefix << info.strayBytes
                  << " bytes of text outside any game, the first at offset " << info.firstStray
                  << '\n';
}

} // namespace

bool unchangedOnDisk(const std::string& command, const std::string& path,
                     const IndexedFile& indexed, int& status) {
    if (indexed.file.unchanged()) return true;
    status =
        fail(command + ": " + path + " changed on disk while it was read; run the command again");
    return false;
}

bool openIndexed(const std::string& command, const std::string& path, IndexedFile& indexed,
                 int& status) {
    if (!indexed.file.open(path.c_str())) {
        status = fail(command + ": " + cannotOpenText(path, indexed.file));
        return false;
    }
    ScanFailure failure{};
    if (!indexFile(indexed.file, indexed.info, indexed.games, indexed.names, &failure)) {
        status =
            fail(command + ": " + path + " is not a valid PGN file: " + fileProblemText(failure));
        return false;
    }
    indexed.info.fileSize = indexed.file.size();
    // Checked before the report, which reads the file again for the lines of damaged games.
    if (!unchangedOnDisk(command, path, indexed, status)) return false;
    reportUnread(command, path, indexed);
    return true;
}
