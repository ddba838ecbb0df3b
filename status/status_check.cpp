#include "status/status_check.h"

namespace kivrel {
namespace {

bool IsGroupAddress(std::uint32_t ipv4) {
    return (ipv4 >> 28) == 0xE || ipv4 == 0xFFFFFFFF;
}

bool IsEmptyOrGroupMac(const MacBytes& mac) {
    // The low bit of the first byte marks multicast and broadcast MACs.
    return (mac[0] & 1) != 0 || mac == MacBytes{};
}

} // namespace

bool IsUsableNeighbour(const NeighbourEntry& row) {
    return row.hasMac && !row.unreachable && !IsEmptyOrGroupMac(row.mac) &&
           !IsGroupAddress(row.ipv4);
}

NeighbourAddresses LatestNeighbourAddresses(const std::vector<NeighbourEntry>& rows) {
    NeighbourAddresses addresses;
    std::map<MacBytes, std::uint32_t> since;
    for (const NeighbourEntry& row : rows) {
        if (!IsUsableNeighbour(row)) {
            continue;
        }
        const auto seen = since.find(row.mac);
        if (seen == since.end() || row.sinceReachableMs < seen->second) {
            since[row.mac] = row.sinceReachableMs;
            addresses[row.mac] = row.ipv4;
        }
    }
    return addresses;
}

bool FindNeighbourMac(std::uint32_t address, const std::vector<NeighbourEntry>& rows, MacBytes& mac,
                      std::uint32_t withinMs) {
    for (const NeighbourEntry& row : rows) {
        if (row.ipv4 == address && IsUsableNeighbour(row) && row.sinceReachableMs <= withinMs) {
            mac = row.mac;
            return true;
        }
    }
    return false;
}

PcStatus ReplyStatus(const MacBytes& mac, std::uint32_t ipv4, const std::vector<Subnet>& subnets,
                     const std::vector<NeighbourEntry>& rows, MacBytes& other) {
    if (!OnLocalSubnet(ipv4, subnets) || !FindNeighbourMac(ipv4, rows, other) || other == mac) {
        return PC_STATUS_UP;
    }
    return PC_STATUS_OTHER;
}

std::vector<std::uint32_t> SweepAddresses(const std::vector<Subnet>& subnets) {
    std::vector<std::uint32_t> addresses;
    for (const Subnet& subnet : subnets) {
        if (subnet.prefixLength < 22 || subnet.prefixLength > 30) {
            continue;
        }
        const std::uint32_t hosts = (1u << (32 - subnet.prefixLength)) - 1;
        const std::uint32_t network = subnet.address & ~hosts;
        for (std::uint32_t host = 1; host < hosts; ++host) {
            if ((network | host) != subnet.address) {
                addresses.push_back(network | host);
            }
        }
    }
    return addresses;
}

bool EchoAddressOf(const StatusCheck& check, const NeighbourAddresses& neighbours,
                   const ResolveName& resolve, std::uint32_t& ipv4, PcStatus& status) {
    if (check.address.empty()) {
        status = PC_STATUS_BLANK;
        const auto found = neighbours.find(check.mac);
        if (found == neighbours.end()) {
            return false;
        }
        ipv4 = found->second;
        return true;
    }
    status = PC_STATUS_DOWN;
    return resolve(check.address, ipv4);
}

} // namespace kivrel
