// The index pass: one reading of a whole PGN file that makes its game index.
#pragma once

#include <vector>

#include "records/bufferedfile.h"
#include "records/gameindex.h"
#include "records/passcontrol.h"
#include "records/playernames.h"

// Indexes the whole of file, which must be open, on passThreads() threads (each reads ranges
// of the file; the results are joined in file order and are those of one reading from the
// start): appends one entry per readable game to games, its players, event, site and round
// interned in names, and fills info (counts, skipped games and stray bytes; path and size are
// the caller's). A damaged game is skipped and reading resumes at the next tag section; a
// zero byte damages the game it is in.
// False when games were found but none could be read (then failure, of kind NoGameRead, says
// where the first broke); entries created before that stay. control, when given, hears the
// bytes read; once its stop is set the pass ends early and answers false with failure
// untouched: the entries are then incomplete.
bool indexFile(BufferedFile& file, FileInfo& info, std::vector<GameEntry>& games,
               PlayerNames& names, ScanFailure* failure = nullptr, PassControl* control = nullptr);
