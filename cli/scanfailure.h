// The command line's words for the place where a file that is not valid PGN broke.
#pragma once

#include <string>

#include "records/gameindex.h"

// "(line N): TEXT", the line's number and its first bytes as the scanner quoted them (control
// bytes and bytes that are not UTF-8 as \xNN); "(line N)" when the line is empty.
std::string scanFailurePlace(const ScanFailure& failure);
