#include "status/echo_network.h"

#include "net/adapter_addresses.h"
#include "net/host_name.h"
#include "net/icmp_echo.h"
#include "net/ipv4.h"
#include "net/neighbour_table.h"

namespace kivrel {

bool EchoNetwork::ReadNeighbours(std::vector<NeighbourEntry>& rows) {
    return ReadNeighbourTable(rows);
}

bool EchoNetwork::Resolve(const std::string& address, std::uint32_t& ipv4) {
    if (ParseIpv4(address, ipv4)) {
        return true;
    }
    return ResolveHostName(address, ipv4);
}

bool EchoNetwork::Echo(std::uint32_t ipv4, unsigned timeoutMs) {
    return SendEcho(ipv4, timeoutMs);
}

bool EchoNetwork::ReadSubnets(std::vector<Subnet>& subnets) {
    subnets.clear();
    return ReadAdapterSubnets(subnets);
}

} // namespace kivrel
