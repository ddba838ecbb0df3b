// The status checks' network on Windows: ICMP echoes, the neighbour table and
// host names through the system's own calls.
#pragma once

#include "status/status_check.h"

namespace kivrel {

class EchoNetwork final : public StatusNetwork {
public:
    bool ReadNeighbours(std::vector<NeighbourEntry>& rows) override;
    bool Resolve(const std::string& address, std::uint32_t& ipv4) override;
    bool Echo(std::uint32_t ipv4, unsigned timeoutMs) override;
    bool ReadSubnets(std::vector<Subnet>& subnets) override;
};

} // namespace kivrel
