// The desktop's Japanese words for what the record readers report about a file.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

#include "records/gameindex.h"

// A file that cannot be opened or searched: the reason, the line number and its text.
QString fileProblemMessage(const ScanFailure& failure);

// After an open that skipped games: how many, and the lines of the first.
QString skippedGamesMessage(std::int64_t skipped, const std::vector<ScanFailure>& places);
