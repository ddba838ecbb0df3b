#include "status/mac_lookup.h"

#include "res/resource.h"
#include "status/diagnosis.h"

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

// A router answers for every PC behind it; a made-up MAC is kept, with a word.
Lookup Judged(Lookup lookup, LookupOps& ops) {
    std::vector<std::uint32_t> gateways;
    std::vector<NeighbourEntry> rows;
    std::uint32_t gateway = 0;
    if (ops.ReadGateways(gateways) && ops.ReadNeighbours(rows) &&
        IsGatewayMac(lookup.mac, gateways, rows, gateway)) {
        lookup.result = LOOKUP_GATEWAY;
        lookup.mac = MacBytes{};
    } else if (IsLocallyAdministered(lookup.mac)) {
        lookup.warningId = IDS_LOOKUP_LOCAL_MAC;
    }
    return lookup;
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
    case LOOKUP_GATEWAY:
        return IDS_LOOKUP_GATEWAY;
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
        return Judged(lookup, ops);
    case ARP_NO_ANSWER:
        break;
    case ARP_UNSUPPORTED:
        ops.Echo(address);
        for (int poll = 0; poll < kPolls; ++poll) {
            if (AskNeighbours(address, ops, lookup.mac)) {
                return Judged(lookup, ops);
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
