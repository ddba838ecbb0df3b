#include "status/mac_lookup.h"

#include "res/resource.h"

namespace kivrel {
namespace {

// The neighbour table is read this often for about a second after the echo:
// the answer to the system's own ARP request may come after the echo's.
constexpr unsigned kPollIntervalMs = 100;
constexpr int kPolls = 10;

bool AskNeighbours(std::uint32_t address, LookupOps& ops, MacBytes& mac) {
    std::vector<NeighbourEntry> rows;
    return ops.ReadNeighbours(rows) && FindNeighbourMac(address, rows, mac);
}

} // namespace

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
