// The system's neighbour (ARP) table: which MAC answered at which address.
#pragma once

#include "targets/target_entry.h"

#include <cstdint>

#include <vector>

namespace kivrel {

// One row of the system's neighbour (ARP) table.
struct NeighbourEntry {
    std::uint32_t ipv4 = 0; // a.b.c.d as (a << 24) | (b << 16) | (c << 8) | d
    MacBytes mac{};
    bool hasMac = false; // a row being resolved has no link-layer address yet
    bool unreachable = false;
    std::uint32_t sinceReachableMs = 0; // how long ago it last answered
};

// Replaces rows with the table's IPv4 rows. False when it cannot be read,
// Windows before Vista included.
bool ReadNeighbourTable(std::vector<NeighbourEntry>& rows);

} // namespace kivrel
