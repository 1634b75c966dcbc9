// How the game index's entry vector grows while a pass fills it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "records/gameindex.h"

// Room for extra more entries in games, which so far cover the file up to offset. Once a few
// thousand games are in, the vector grows to the game count the whole file holds at the
// bytes per game seen so far (between 1/8 more and 8 times as many) instead of doubling: a
// growth briefly holds both copies, and with millions of games that is most of the pass's
// memory.
void reserveEntries(std::vector<GameEntry>& games, std::size_t extra, std::int64_t offset,
                    std::int64_t fileSize);
