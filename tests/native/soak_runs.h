// How many runs a soak test makes: its own default, or as many as
// KIVREL_SOAK_RUNS asks for, to run it for longer.
#pragma once

#include <cstdint>

namespace kivrel {

// 0 when the variable is set but does not hold a positive count. The Windows
// build runs under Wine, where the same runs take several times as long.
int SoakRuns(int nativeRuns, int windowsRuns);

// The seed of run `run`: fixed, so that a failing run's plan can be replayed.
std::uint32_t SoakSeed(std::uint32_t salt, int run);

} // namespace kivrel
