// An open PGN file and its index, as the commands that read collections use it.
#pragma once

#include <string>
#include <vector>

#include "records/bufferedfile.h"
#include "records/gameindex.h"
#include "records/playernames.h"

// An open file and its index, as the document holds them.
struct IndexedFile {
    BufferedFile           file;
    FileInfo               info{};
    std::vector<GameEntry> games;
    PlayerNames            names; // the games' players, events, sites and rounds
};

// Whether the file still has the size and modification time it had when it was opened; a
// changed file is reported (status 2) rather than read as if it were the one indexed.
bool unchangedOnDisk(const std::string& command, const std::string& path,
                     const IndexedFile& indexed, int& status);

// Opens and indexes path; on failure prints the reason (for a file that is not valid PGN,
// the line and its text) and answers false. What of a readable file was not read is noted
// on standard error.
bool openIndexed(const std::string& command, const std::string& path, IndexedFile& indexed,
                 int& status);
