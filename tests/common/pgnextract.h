// Where Debian's pgn-extract is installed, for the tests that compare readings with it;
// empty when it is not (those tests skip).
#pragma once

#include <unistd.h>

#include <string>

inline std::string pgnExtract() {
    for (const char* path : {"/usr/bin/pgn-extract", "/usr/games/pgn-extract", "/usr/local/bin/pgn-extract"})
        if (access(path, X_OK) == 0) return path;
    return "";
}
