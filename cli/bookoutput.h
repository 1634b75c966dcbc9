// Where book build may write: a build replaces its output file whole, so it must never be
// pointed at something that is not a book (a PGN file named by mistake, one of its own
// inputs, a symbolic link, a device, a directory).
#pragma once

#include <string>
#include <vector>

// True when nothing stands at out yet, or when out is a regular file of its own (not a
// symbolic link, none of the inputs, whatever names they go by) that holds a book. Otherwise
// false, with the reason in error.
bool mayReplaceWithBook(const std::string& out, const std::vector<std::string>& inputs,
                        std::string& error);
