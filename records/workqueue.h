// Runs numbered pieces of work on a few threads: each thread takes the next piece not yet
// taken until none is left. The pieces must not depend on each other.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

// Calls work(i) once for every i in [0, count) on up to threads threads (never on the
// calling thread, so that its thread-local state, the Board among it, is left alone), and
// returns when all are done. An exception thrown by a piece (out of memory) stops the pieces
// not yet begun and is thrown again here.
template <class Work>
void runOnThreads(std::size_t count, int threads, Work&& work) {
    if (count == 0) return;
    std::atomic<std::size_t> next{0};
    std::exception_ptr       failure;
    std::mutex               failureLock;
    const std::size_t        workers = std::min<std::size_t>(count, threads < 1 ? 1 : threads);
    {
        std::vector<std::jthread> pool;
        pool.reserve(workers);
        for (std::size_t t = 0; t < workers; ++t)
            pool.emplace_back([&] {
                for (std::size_t i; (i = next.fetch_add(1, std::memory_order_relaxed)) < count;) {
                    try {
                        work(i);
                    } catch (...) {
                        const std::lock_guard<std::mutex> hold(failureLock);
                        if (!failure) failure = std::current_exception();
                        next.store(count, std::memory_order_relaxed);
                    }
                }
            });
    } // the threads join here
    if (failure) std::rethrow_exception(failure);
}
