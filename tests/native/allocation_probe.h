// Watches the global operator new of a test program, to prove that some code
// never asks for a large block, nor for much memory in all.
#pragma once

#include <cstddef>

namespace kivrel {

struct AllocationTally {
    std::size_t largest = 0; // the largest single request
    std::size_t total = 0;   // every request added up, whether freed or not
};

void StartWatchingAllocations();
// What was requested since the start; stops watching.
AllocationTally StopWatchingAllocations();

} // namespace kivrel
