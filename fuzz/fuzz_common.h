// Shared by the fuzz targets: the engine tables are filled once per process.
#pragma once

#include <cstdlib>

#include "engine/attacks.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    initEngine();
    return 0;
}

// A broken property is a crash, so that the fuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) std::abort();                                                            \
    } while (0)
