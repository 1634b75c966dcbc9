#include "records/passthreads.h"

#include <atomic>
#include <cstdlib>
#include <thread>

#include "records/filechunks.h"

namespace {

std::atomic<int>          chosenThreads{0};
std::atomic<std::int64_t> chosenChunkBytes{0};

int defaultThreads() {
    if (const char* text = std::getenv("NORVANE_THREADS")) {
        char*      end   = nullptr;
        const long value = std::strtol(text, &end, 10);
        if (end != text && *end == '\0' && value >= 1 && value <= MaxPassThreads)
            return static_cast<int>(value);
    }
    const unsigned hardware = std::thread::hardware_concurrency();
    return hardware == 0 ? 1 : static_cast<int>(hardware > MaxPassThreads ? MaxPassThreads : hardware);
}

} // namespace

int passThreads() {
    const int chosen = chosenThreads.load(std::memory_order_relaxed);
    return chosen > 0 ? chosen : defaultThreads();
}

void setPassThreads(int threads) {
    chosenThreads.store(threads <= 0 ? 0 : threads > MaxPassThreads ? MaxPassThreads : threads,
                        std::memory_order_relaxed);
}

std::int64_t passChunkBytes() {
    const std::int64_t chosen = chosenChunkBytes.load(std::memory_order_relaxed);
    return chosen > 0 ? chosen : PassChunkBytes;
}

void setPassChunkBytes(std::int64_t bytes) {
    chosenChunkBytes.store(bytes < 0 ? 0 : bytes, std::memory_order_relaxed);
}
