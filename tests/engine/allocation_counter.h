// Counts the C++ allocations of the engine test program (a global operator new replaced in
// allocation_counter.cpp), so that tests can show a piece of engine code makes none.
#pragma once

#include <cstddef>

std::size_t allocationCount();
