#include "tests/allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> s_counting{false};
std::atomic<long> s_count{0};
}  // namespace

namespace AllocationCounter {

void Start() {
    s_count = 0;
    s_counting = true;
}

long Stop() {
    s_counting = false;
    return s_count;
}

}  // namespace AllocationCounter

// Every plain and array new of the test program comes through here (the
// array, nothrow and sized forms of the library call these two).
void* operator new(std::size_t size) {
    if (s_counting) ++s_count;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
