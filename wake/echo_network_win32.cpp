#include "wake/echo_network.h"

#include "wake/host_name.h"
#include "wake/mac_lookup.h"
#include "wake/neighbour_table.h"

#include <winsock2.h>
#include <iphlpapi.h>
#include <icmpapi.h>

namespace kivrel {
namespace {

// Built byte by byte: htonl would import WS2_32 beside WSOCK32.
IPAddr ToNetwork(std::uint32_t ipv4) {
    IPAddr address;
    auto* b = reinterpret_cast<unsigned char*>(&address);
    b[0] = static_cast<unsigned char>(ipv4 >> 24);
    b[1] = static_cast<unsigned char>(ipv4 >> 16);
    b[2] = static_cast<unsigned char>(ipv4 >> 8);
    b[3] = static_cast<unsigned char>(ipv4);
    return address;
}

} // namespace

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
    const HANDLE icmp = ::IcmpCreateFile();
    if (icmp == INVALID_HANDLE_VALUE) {
        return false;
    }
    char payload[32] = "Kivrel";
    // Room for one reply, its payload and an ICMP error's.
    alignas(ICMP_ECHO_REPLY) unsigned char reply[sizeof(ICMP_ECHO_REPLY) + sizeof(payload) + 8];
    const DWORD replies = ::IcmpSendEcho(icmp, ToNetwork(ipv4), payload, sizeof(payload), nullptr,
                                         reply, sizeof(reply), timeoutMs);
    ::IcmpCloseHandle(icmp);
    return replies > 0 && reinterpret_cast<const ICMP_ECHO_REPLY*>(reply)->Status == IP_SUCCESS;
}

} // namespace kivrel
