// Helpers shared by the record tests: reaching positions by SAN lines, as the program does.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

#include "engine/board.h"
#include "engine/fensetup.h"
#include "engine/makemove.h"
#include "records/game.h"
#include "records/san.h"
#include "tests/common/playsan.h"

inline void setFen(const char* fen) {
    char error[128];
    ASSERT_TRUE(setupFromFen(fen, error, sizeof error)) << fen << ": " << error;
}

inline bool sameMove(const Move& a, const Move& b) {
    return a.fromTo == b.fromTo && a.piece == b.piece && a.flags == b.flags;
}

inline std::string testData(const char* name) { return std::string(NORVANE_TEST_DATA) + "/" + name; }

#include "engine/coords.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

#include "records/gameindex.h"
#include "records/fileplaces.h"
#include "records/indexpass.h"
#include "records/positionsearch.h"

// The files a test process wrote with writeTempFile, removed when the process ends.
class TempFiles {
public:
    void add(const std::string& path) {
        if (std::find(m_paths.begin(), m_paths.end(), path) == m_paths.end())
            m_paths.push_back(path);
    }
    ~TempFiles() {
        for (const std::string& path : m_paths)
            std::remove(path.c_str());
    }

private:
    std::vector<std::string> m_paths;
};

// Writes text into a file of the test's temporary directory and answers its path. The name
// carries the process id: ctest runs tests side by side.
inline std::string writeTempFile(const std::string& name, const std::string& text) {
    static TempFiles  written;
    const std::string path = ::testing::TempDir() + std::to_string(getpid()) + "-" + name;
    std::ofstream     out(path, std::ios::binary | std::ios::trunc);
    out << text;
    written.add(path);
    return path;
}

struct IndexRun {
    bool                   ok = false;
    FileInfo               info{};
    std::vector<GameEntry> games;
    PlayerNames            names;
    ScanFailure            failure{};
};

// The index pass over text, as a file.
inline IndexRun indexText(const std::string& text) {
    IndexRun     run;
    BufferedFile file;
    EXPECT_TRUE(file.open(writeTempFile("index.pgn", text).c_str()));
    run.ok = indexFile(file, run.info, run.games, run.names, &run.failure);
    return run;
}
