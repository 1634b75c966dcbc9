#include "allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
// Atomic: the tests that search on a second thread allocate there too.
std::atomic<std::size_t> allocations{0};
}

std::size_t allocationCount() { return allocations.load(std::memory_order_relaxed); }

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
