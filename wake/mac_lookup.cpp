#include "wake/mac_lookup.h"

#include "res/resource.h"

namespace kivrel {
namespace {

// The neighbour table is read this often for about a second after the echo:
// the answer to the system's own ARP request may come after the echo's.
constexpr unsigned kPollIntervalMs = 100;
constexpr int kPolls = 10;

std::uint32_t MaskOf(unsigned prefixLength) {
    return prefixLength == 0 ? 0 : ~std::uint32_t(0) << (32 - prefixLength);
}

bool AskNeighbours(std::uint32_t address, LookupOps& ops, MacBytes& mac) {
    std::vector<NeighbourEntry> rows;
    return ops.ReadNeighbours(rows) && FindNeighbourMac(address, rows, mac);
}

} // namespace

bool ParseIpv4(const std::string& text, std::uint32_t& address) {
    std::uint32_t value = 0;
    std::size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0 && (at >= text.size() || text[at++] != '.')) {
            return false;
        }
        const std::size_t start = at;
        unsigned number = 0;
        while (at < text.size() && at - start < 3 && text[at] >= '0' && text[at] <= '9') {
            number = number * 10 + static_cast<unsigned>(text[at++] - '0');
        }
        if (at == start || number > 255 || (text[start] == '0' && at - start > 1)) {
            return false;
        }
        value = value << 8 | number;
    }
    if (at != text.size()) {
        return false;
    }
    address = value;
    return true;
}

bool OnLocalSubnet(std::uint32_t address, const std::vector<Subnet>& subnets) {
    for (const Subnet& subnet : subnets) {
        // A /0 is no network of its own; /31 and /32 have no broadcast address.
        if (subnet.prefixLength == 0 || subnet.prefixLength > 32) {
            continue;
        }
        const std::uint32_t mask = MaskOf(subnet.prefixLength);
        if ((address & mask) != (subnet.address & mask)) {
            continue;
        }
        const std::uint32_t host = address & ~mask;
        if (subnet.prefixLength >= 31 || (host != 0 && host != ~mask)) {
            return true;
        }
    }
    return false;
}

bool FindNeighbourMac(std::uint32_t address, const std::vector<NeighbourEntry>& rows,
                      MacBytes& mac) {
    for (const NeighbourEntry& row : rows) {
        if (row.ipv4 == address && IsUsableNeighbour(row)) {
            mac = row.mac;
            return true;
        }
    }
    return false;
}

unsigned LookupMessageId(LookupResult result) {
    switch (result) {
    case LOOKUP_FOUND:
        return 0;
    case LOOKUP_NO_NAME:
        return IDS_LOOKUP_NO_NAME;
    case LOOKUP_OFF_SUBNET:
        return IDS_LOOKUP_OFF_SUBNET;
    case LOOKUP_NO_ANSWER:
        break;
    }
    return IDS_LOOKUP_NO_ANSWER;
}

Lookup FindMac(const std::string& text, LookupOps& ops) {
    Lookup lookup;
    std::uint32_t address = 0;
    if (!ParseIpv4(text, address)) {
        if (text.empty() || !ops.Resolve(text, address)) {
            lookup.result = LOOKUP_NO_NAME;
            return lookup;
        }
        lookup.hostName = text;
    }
    std::vector<Subnet> subnets;
    if (!ops.ReadSubnets(subnets) || !OnLocalSubnet(address, subnets)) {
        lookup.result = LOOKUP_OFF_SUBNET;
        return lookup;
    }
    lookup.result = LOOKUP_FOUND;
    switch (ops.AskArp(address, lookup.mac)) {
    case ARP_FOUND:
        return lookup;
    case ARP_NO_ANSWER:
        break;
    case ARP_UNSUPPORTED:
        ops.Echo(address);
        for (int poll = 0; poll < kPolls; ++poll) {
            if (AskNeighbours(address, ops, lookup.mac)) {
                return lookup;
            }
            ops.Pause(kPollIntervalMs);
        }
        break;
    }
    lookup.result = LOOKUP_NO_ANSWER;
    lookup.mac = MacBytes{};
    return lookup;
}

} // namespace kivrel
