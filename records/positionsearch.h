// The position search: one reading of a whole PGN file that replays every game looking for a
// position.
#pragma once

#include <cstdint>
#include <vector>

#include "records/bufferedfile.h"
#include "records/gameindex.h"
#include "records/passcontrol.h"
#include "records/playernames.h"

// Replays every game of file (indexed into games and names by indexFile) from its start (the
// initial position, or its FEN tag) on passThreads() threads, looking for filter.positionKey
// before each move and after the last; sets Matched on the entries that pass through it and
// meet the other criteria of filter, clears it on the others, marks Unreadable the games whose
// moves do not replay, and sets firstMatch to the number of the first match or -1. The games
// are replayed on the worker threads' own Boards: the calling thread's Board and the current
// game are left as they are.
// False when the file no longer fits games (it changed since it was indexed; then failure, of
// kind FileChanged, gives the file's last line); the marks made before that stay. control,
// when given, hears the bytes read; once its stop is set the pass ends early and answers
// false with failure untouched: the marks are then incomplete.
bool findPosition(BufferedFile& file, std::vector<GameEntry>& games, const PlayerNames& names,
                  const SearchFilter& filter, std::int64_t& firstMatch,
                  ScanFailure* failure = nullptr, PassControl* control = nullptr);
