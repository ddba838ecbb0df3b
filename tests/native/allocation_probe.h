// Watches the global operator new of a test program, to prove that some code
// never asks for a large block, nor for much memory in all, or copes when a
// request fails.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kivrel {

struct AllocationTally {
    std::size_t largest = 0; // the largest single request
    std::size_t total = 0;   // every request added up, whether freed or not
    std::size_t count = 0;   // the number of requests
};

// With failAt, the request of that number (0 the first) throws: std::bad_alloc,
// or with tooLong the std::length_error of a size no container can hold.
void StartWatchingAllocations(std::size_t failAt = SIZE_MAX, bool tooLong = false);
// What was requested since the start; stops watching.
AllocationTally StopWatchingAllocations();

} // namespace kivrel
