// What the status checks read of the network, kept a while so that a round of
// thousands of PCs reads the neighbour table and the subnets only now and
// then, and asks each host name once a minute: a name that takes seconds to
// fail then holds up one check a minute, not every one.
#pragma once

#include "status/status_check.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace kivrel {

// A name's address, or its failure, is used this long before it is asked again.
constexpr StatusMillis kNameKeptMs = 60000;

struct Neighbours {
    std::vector<NeighbourEntry> rows;
    NeighbourAddresses byMac;
};

class NetworkCache {
public:
    using Clock = StatusMillis (*)();
    NetworkCache(std::shared_ptr<StatusNetwork> network, Clock clock)
        : m_network(std::move(network)), m_clock(clock) {}

    StatusNetwork& Network() { return *m_network; }
    // Shared, not copied: each check only looks its MAC up. Read again when
    // older than a second or than notBefore, the time an echo went out.
    std::shared_ptr<const Neighbours> ReadNeighbours(StatusMillis notBefore);
    std::vector<Subnet> Subnets();
    bool Resolve(const std::string& address, std::uint32_t& ipv4);

private:
    struct Name {
        bool found = false;
        std::uint32_t ipv4 = 0;
        StatusMillis at = 0;
    };

    std::shared_ptr<StatusNetwork> m_network;
    Clock m_clock;
    std::mutex m_tableMutex;
    std::shared_ptr<const Neighbours> m_neighbours;
    StatusMillis m_neighboursReadAt = 0;
    std::vector<Subnet> m_subnets;
    StatusMillis m_subnetsReadAt = 0;
    bool m_subnetsRead = false;
    // Apart, so that a name look-up never waits on a table read.
    std::mutex m_nameMutex;
    std::map<std::string, Name> m_names;
};

} // namespace kivrel
