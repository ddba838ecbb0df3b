// Finding a PC's MAC from its host name or IPv4 address, free of the window
// system: the system's calls come through LookupOps, so that every decision
// (which text is an address, which address is local, which neighbour row
// answers) runs natively against fakes.
#pragma once

#include "net/ipv4.h"
#include "targets/target_entry.h"
#include "status/status_check.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kivrel {

enum LookupResult {
    LOOKUP_FOUND,
    LOOKUP_NO_NAME,    // the host name could not be resolved
    LOOKUP_OFF_SUBNET, // on none of this PC's networks: behind a router at best
    LOOKUP_NO_ANSWER,  // off, or not on this network
    LOOKUP_GATEWAY,    // the router answered for it: its MAC wakes nothing
};

enum ArpResult { ARP_FOUND, ARP_UNSUPPORTED, ARP_NO_ANSWER };

class LookupOps {
public:
    virtual ~LookupOps() = default;
    // A host name's IPv4 addresses.
    virtual bool Resolve(const std::string& utf8Name, std::vector<std::uint32_t>& addresses) = 0;
    // Every IPv4 subnet of this PC's adapters that are up.
    virtual bool ReadSubnets(std::vector<Subnet>& subnets) = 0;
    // The system's own ARP call, used only where the table cannot be read.
    virtual ArpResult AskArp(std::uint32_t address, MacBytes& mac) = 0;
    // One echo request; its answer does not matter, only that the system
    // resolves the address on the way.
    virtual void Echo(std::uint32_t address) = 0;
    virtual bool ReadNeighbours(std::vector<NeighbourEntry>& rows) = 0;
    virtual void Pause(unsigned ms) = 0;
    // The default gateways' addresses; false when unreadable.
    virtual bool ReadGateways(std::vector<std::uint32_t>& gateways) = 0;
};

struct Lookup {
    LookupResult result = LOOKUP_NO_ANSWER;
    MacBytes mac{};
    // The text itself when it was a host name, else empty: what an empty
    // name field takes.
    std::string hostName;
    // A MAC found that may not wake its PC: the warning's string id, else 0.
    unsigned warningId = 0;
};

// The string id that tells the user why a look-up failed; 0 for LOOKUP_FOUND.
unsigned LookupMessageId(LookupResult result);

// The whole look-up; text is UTF-8, trimmed of blanks by the caller.
Lookup FindMac(const std::string& text, LookupOps& ops);

} // namespace kivrel
