// Runs work over contiguous slices of [0, count) on several threads at once: for loops over
// every game of an index (the filter), where each item is cheap and independent.
#pragma once

#include <algorithm>
#include <cstddef>
#include <system_error>
#include <thread>
#include <vector>

// How many slices forEachSlice makes: one per thread, but none of fewer than minimum items.
inline std::size_t sliceCount(std::size_t count, int threads, std::size_t minimum) {
    const std::size_t most = std::max<std::size_t>(1, (count + minimum - 1) / std::max<std::size_t>(minimum, 1));
    return std::min<std::size_t>(static_cast<std::size_t>(std::max(threads, 1)), most);
}

// Calls work(slice, begin, end) for slices slice = 0 .. slices - 1 covering [0, count) in
// order, the first on the calling thread and the others on threads of their own (on the
// calling thread as well when the system gives no more threads); returns when all are done.
// work must not throw.
template <class Work>
void forEachSlice(std::size_t count, std::size_t slices, Work&& work) {
    if (slices <= 1) {
        work(std::size_t{0}, std::size_t{0}, count);
        return;
    }
    const auto begin = [&](std::size_t slice) { return count * slice / slices; };
    std::vector<std::jthread> helpers;
    helpers.reserve(slices - 1);
    std::size_t started = 1;
    try {
        for (; started < slices; ++started)
            helpers.emplace_back([&, slice = started] { work(slice, begin(slice), begin(slice + 1)); });
    } catch (const std::system_error&) {
        // The system gives no more threads: the slices from started on are done below.
    }
    work(std::size_t{0}, std::size_t{0}, begin(1));
    for (std::size_t slice = started; slice < slices; ++slice)
        work(slice, begin(slice), begin(slice + 1));
}
