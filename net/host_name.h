// A PC's host name to its IPv4 address through the system's resolver, which
// also reads the hosts file and, on a LAN, NetBIOS and LLMNR names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kivrel {

// utf8Name as kept with the PC; Japanese host names resolve like any other.
// The socket library must be started. False when the name is not found.
bool ResolveHostName(const std::string& utf8Name, std::uint32_t& ipv4);
// Every IPv4 address of the name, in the resolver's order, replacing addresses.
bool ResolveHostAddresses(const std::string& utf8Name, std::vector<std::uint32_t>& addresses);

} // namespace kivrel
