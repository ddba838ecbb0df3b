// The network adapters a wake goes out through: a limited broadcast leaves
// through one interface only, often a VPN or virtual switch rather than the
// LAN, so the sender sends one copy from each adapter's own address.
#pragma once

#include "net/ipv4.h"

#include <cstdint>
#include <vector>

namespace kivrel {

// Appends the first usable IPv4 address (host byte order: neither tentative
// nor a duplicate) of each adapter that is up and is not a loopback. False when the list of
// adapters cannot be read (memory included); it never throws.
bool ReadAdapterAddresses(std::vector<std::uint32_t>& addresses);

// Appends every IPv4 subnet of the adapters that are up, one per address:
// which destinations are on this PC's own networks. False when unreadable.
bool ReadAdapterSubnets(std::vector<Subnet>& subnets);

// Windows only: replaces gateways with the next hops of the default routes.
// False when the routing table cannot be read.
bool ReadDefaultGateways(std::vector<std::uint32_t>& gateways);

} // namespace kivrel
