#include "status/mac_lookup.h"

#include "res/resource.h"
#include "status/diagnosis.h"

#include <algorithm>

namespace kivrel {
namespace {

// The neighbour table is read this often for about a second after the echo:
// the answer to the system's own ARP request may come after the echo's.
constexpr unsigned kPollIntervalMs = 100;
constexpr int kPolls = 10;
// A row the system confirmed this long ago at most answers for the PC now.
constexpr std::uint32_t kConfirmedWithinMs = 5000;

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
    std::vector<std::uint32_t> addresses(1);
    if (!ParseIpv4(text, addresses[0])) {
        if (text.empty() || !ops.Resolve(text, addresses) || addresses.empty()) {
            lookup.result = LOOKUP_NO_NAME;
            return lookup;
        }
        lookup.hostName = text;
    }
    // A name may have several addresses: the one on this PC's networks is asked.
    std::vector<Subnet> subnets;
    const bool read = ops.ReadSubnets(subnets);
    const auto local = std::find_if(addresses.begin(), addresses.end(), [&](std::uint32_t a) {
        return read && OnLocalSubnet(a, subnets);
    });
    if (local == addresses.end()) {
        lookup.result = LOOKUP_OFF_SUBNET;
        return lookup;
    }
    lookup.result = LOOKUP_FOUND;
    // The echo makes the system ask the network; only a row confirmed since
    // counts, as the table may still remember a PC long gone from the address.
    ops.Echo(*local);
    std::vector<NeighbourEntry> rows;
    if (!ops.ReadNeighbours(rows)) {
        // No table to read, as before Vista: the system's ARP call is all there is.
        if (ops.AskArp(*local, lookup.mac) == ARP_FOUND) {
            return Judged(lookup, ops);
        }
    } else {
        for (int poll = 0; poll < kPolls; ++poll) {
            if (FindNeighbourMac(*local, rows, lookup.mac, kConfirmedWithinMs)) {
                return Judged(lookup, ops);
            }
            ops.Pause(kPollIntervalMs);
            if (!ops.ReadNeighbours(rows)) {
                break;
            }
        }
    }
    lookup.result = LOOKUP_NO_ANSWER;
    lookup.mac = MacBytes{};
    return lookup;
}

} // namespace kivrel
