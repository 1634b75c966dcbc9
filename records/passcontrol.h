// How a caller follows and stops a long pass over a file (indexing, the position search, the
// explorer's build) that runs on another thread: the pass adds up the bytes it has read, and
// gives up soon after stop is set.
#pragma once

#include <atomic>
#include <cstdint>

struct PassControl {
    std::atomic<std::int64_t> bytesDone{0};
    std::atomic<bool>         stop{false};

    bool stopped() const { return stop.load(std::memory_order_relaxed); }
    void advance(std::int64_t bytes) { bytesDone.fetch_add(bytes, std::memory_order_relaxed); }
};
