// The system's neighbour (ARP) table, read for the status checks.
#pragma once

#include "wake/status_check.h"

#include <vector>

namespace kivrel {

// Replaces rows with the table's IPv4 rows. False when it cannot be read,
// Windows before Vista included.
bool ReadNeighbourTable(std::vector<NeighbourEntry>& rows);

} // namespace kivrel
