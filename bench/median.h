// The middle of a benchmark's timings: steadier than the mean on a shared
// machine, where a few runs are always slowed by something else.
#pragma once

#include <algorithm>
#include <vector>

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
