// The network adapters a wake goes out through: a limited broadcast leaves
// through one interface only, often a VPN or virtual switch rather than the
// LAN, so the sender sends one copy from each adapter's own address.
#pragma once

#include <cstdint>
#include <vector>

namespace kivrel {

// Appends the first usable IPv4 address (host byte order: neither tentative
// nor a duplicate) of each adapter that is up and is not a loopback. False when the list of
// adapters cannot be read (memory included); it never throws.
bool ReadAdapterAddresses(std::vector<std::uint32_t>& addresses);

} // namespace kivrel
