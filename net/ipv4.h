// IPv4 addresses as the program keeps them: host byte order, 192.0.2.10 is
// 0xC000020A. The system's structures hold them in network order; the two
// conversions below are the only way between the two.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kivrel {

// Four bytes in network order, as in in_addr, IPAddr or a DWORD of an
// address table. Byte by byte: htonl would import WS2_32 beside WSOCK32.
std::uint32_t Ipv4FromNetwork(const void* bytes);
void Ipv4ToNetwork(std::uint32_t address, void* bytes);

// Strictly four dotted decimal numbers of 0 to 255, no leading zeros (which
// other parsers read as octal), nothing around them.
bool ParseIpv4(const std::string& text, std::uint32_t& address);
// Dotted decimal, as ParseIpv4 reads it back.
std::string FormatIpv4(std::uint32_t ipv4);

struct Subnet {
    std::uint32_t address = 0; // any address of the adapter on it
    unsigned prefixLength = 0;
};

// The prefix length of a contiguous mask; its leading ones elsewhere.
unsigned PrefixOf(std::uint32_t mask);
// On one of the subnets, and neither its network nor its broadcast address.
bool OnLocalSubnet(std::uint32_t address, const std::vector<Subnet>& subnets);
// Anywhere on one of the subnets, its network and broadcast addresses too.
bool WithinSubnets(std::uint32_t address, const std::vector<Subnet>& subnets);

} // namespace kivrel
