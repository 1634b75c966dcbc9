#include "allocation_counter.h"

#include <cstdlib>
#include <new>

namespace {
std::size_t allocations = 0;
}

std::size_t allocationCount() { return allocations; }

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
