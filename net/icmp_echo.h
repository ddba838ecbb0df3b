// One ICMP echo through the system's own call, which needs no raw socket and
// so no administrator.
#pragma once

#include <cstdint>

namespace kivrel {

// True when an echo reply came within the time-out.
bool SendEcho(std::uint32_t ipv4, unsigned timeoutMs);

} // namespace kivrel
