// Where the programs find the shipped book.dat.
#pragma once

#include <string>

// The book beside the program when there is one there (the build tree, or a folder the user
// put it in), else the one in the installed data folder, reached from the program's folder
// by the relative path the build records, so that a package unpacked anywhere finds its own.
// programDirectory ends with a slash. Answers the path beside the program when neither exists.
std::string shippedBookPath(const std::string& programDirectory);
