// How many threads the passes over a file use.
#pragma once

#include <cstdint>

// The number set by setPassThreads, else NORVANE_THREADS when it holds a number from 1 to
// MaxPassThreads, else the processors the system offers (at least 1).
int passThreads();

// Sets the number for this process (clamped to 1..MaxPassThreads); 0 goes back to the default.
void setPassThreads(int threads);

inline constexpr int MaxPassThreads = 256;

// The size of the ranges the passes split a file into (PassChunkBytes unless set; the tests
// set a few hundred bytes to put many cuts into small files). 0 goes back to the default.
std::int64_t passChunkBytes();
void         setPassChunkBytes(std::int64_t bytes);
