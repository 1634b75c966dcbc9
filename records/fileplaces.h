// Places in a file for the reports of a pass: the line an offset stands on and that line's
// first bytes, quoted so that any bytes can be shown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "records/bufferedfile.h"
#include "records/gameindex.h"

// Writes n bytes of a file into text (bounded, zero-terminated) for a message: UTF-8
// characters as they are, control bytes and bytes that are not UTF-8 as \xNN.
void quoteFileBytes(const char* bytes, std::size_t n, char* text, std::size_t size);

// The places of the offsets (ascending) in file, found in one read: each place's offset,
// line and text are filled, its kind left as it is. False when the file cannot be read.
bool locateOffsets(BufferedFile& file, const std::int64_t* offsets, int count,
                   ScanFailure* places);

// The places where the first skipped games of info broke (at most NotedSkips), of kind
// GameSkipped.
std::vector<ScanFailure> skippedGamePlaces(BufferedFile& file, const FileInfo& info);
