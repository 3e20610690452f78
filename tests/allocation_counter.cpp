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

// Every form of new and delete is replaced, each pair on malloc and free, so
// that the program's allocations all come through here and every block is
// freed the way it was made. (Replacing only some forms works with the C++
// library's own defaults, which forward to these; AddressSanitizer brings
// its own for every form, and a block from its nothrow new freed by the
// replaced delete would be a mismatch.)
namespace {

void* Allocate(std::size_t size, bool nothrow) {
    if (s_counting) ++s_count;
    if (void* p = std::malloc(size ? size : 1)) return p;
    if (nothrow) return nullptr;
    throw std::bad_alloc();
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment, bool nothrow) {
    if (s_counting) ++s_count;
    const std::size_t align = static_cast<std::size_t>(alignment);
    // aligned_alloc wants a size that is a multiple of the alignment.
    const std::size_t rounded = ((size ? size : 1) + align - 1) / align * align;
    if (void* p = std::aligned_alloc(align, rounded)) return p;
    if (nothrow) return nullptr;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size, false); }
void* operator new[](std::size_t size) { return Allocate(size, false); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size, true); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size, true); }
void* operator new(std::size_t size, std::align_val_t a) { return AllocateAligned(size, a, false); }
void* operator new[](std::size_t size, std::align_val_t a) { return AllocateAligned(size, a, false); }
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return AllocateAligned(size, a, true);
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return AllocateAligned(size, a, true);
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
