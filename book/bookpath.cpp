#include "book/bookpath.h"

#include <unistd.h>

#ifndef NORVANE_DATA_FROM_BIN
#define NORVANE_DATA_FROM_BIN "../share/norvane"
#endif

std::string shippedBookPath(const std::string& programDirectory) {
    const std::string beside = programDirectory + "book.dat";
    if (access(beside.c_str(), R_OK) == 0) return beside;
    const std::string installed = programDirectory + NORVANE_DATA_FROM_BIN "/book.dat";
    return access(installed.c_str(), R_OK) == 0 ? installed : beside;
}
