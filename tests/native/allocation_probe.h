// Watches the global operator new of a test program, to prove that some code
// never asks for a large block.
#pragma once

#include <cstddef>

namespace kivrel {

void StartWatchingAllocations();
// The largest single request since the start; stops watching.
std::size_t StopWatchingAllocations();

} // namespace kivrel
