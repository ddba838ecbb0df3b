#include "tests/native/allocation_probe.h"

#include <cstdlib>
#include <new>
#include <stdexcept>

namespace {
bool g_watching = false;
kivrel::AllocationTally g_tally;
std::size_t g_failAt = SIZE_MAX;
bool g_tooLong = false;

// Every plain form, so that each block is released by the allocator that gave it.
void* Take(std::size_t size) noexcept {
    if (g_watching) {
        g_tally.largest = size > g_tally.largest ? size : g_tally.largest;
        g_tally.total += size;
        if (g_tally.count++ == g_failAt) {
            return nullptr;
        }
    }
    return std::malloc(size == 0 ? 1 : size);
}
} // namespace

// Replaces the program's global allocator; its own file, so that no caller
// sees these bodies inlined.
void* operator new(std::size_t size) {
    if (void* block = Take(size)) {
        return block;
    }
    if (g_tooLong) {
        throw std::length_error("too long");
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return ::operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Take(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Take(size);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}

namespace kivrel {

void StartWatchingAllocations(std::size_t failAt, bool tooLong) {
    g_tally = AllocationTally();
    g_failAt = failAt;
    g_tooLong = tooLong;
    g_watching = true;
}

AllocationTally StopWatchingAllocations() {
    g_watching = false;
    return g_tally;
}

} // namespace kivrel
