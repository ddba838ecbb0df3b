// A PC's host name to its IPv4 address through the system's resolver, which
// also reads the hosts file and, on a LAN, NetBIOS and LLMNR names.
#pragma once

#include <cstdint>
#include <string>

namespace kivrel {

// utf8Name as kept with the PC; Japanese host names resolve like any other.
// The socket library must be started. False when the name is not found.
bool ResolveHostName(const std::string& utf8Name, std::uint32_t& ipv4);

} // namespace kivrel
