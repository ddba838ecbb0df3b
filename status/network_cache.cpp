#include "status/network_cache.h"

namespace kivrel {
namespace {

constexpr StatusMillis kNeighbourReadEveryMs = 1000;
constexpr StatusMillis kSubnetReadEveryMs = 10000;

} // namespace

std::shared_ptr<const Neighbours> NetworkCache::ReadNeighbours(StatusMillis notBefore) {
    const std::lock_guard<std::mutex> lock(m_tableMutex);
    const StatusMillis now = m_clock();
    if (m_neighbours == nullptr || now - m_neighboursReadAt >= kNeighbourReadEveryMs ||
        m_neighboursReadAt < notBefore) {
        m_neighboursReadAt = now;
        auto read = std::make_shared<Neighbours>();
        if (!m_network->ReadNeighbours(read->rows)) {
            read->rows.clear();
        }
        read->byMac = LatestNeighbourAddresses(read->rows);
        m_neighbours = std::move(read);
    }
    return m_neighbours;
}

std::vector<Subnet> NetworkCache::Subnets() {
    const std::lock_guard<std::mutex> lock(m_tableMutex);
    const StatusMillis now = m_clock();
    if (!m_subnetsRead || now - m_subnetsReadAt >= kSubnetReadEveryMs) {
        m_subnetsRead = true;
        m_subnetsReadAt = now;
        if (!m_network->ReadSubnets(m_subnets)) {
            m_subnets.clear();
        }
    }
    return m_subnets;
}

bool NetworkCache::Resolve(const std::string& address, std::uint32_t& ipv4) {
    {
        const std::lock_guard<std::mutex> lock(m_nameMutex);
        const auto kept = m_names.find(address);
        if (kept != m_names.end() && m_clock() - kept->second.at < kNameKeptMs) {
            ipv4 = kept->second.ipv4;
            return kept->second.found;
        }
    }
    // Two checks may ask the same name at once; both answers are the same.
    Name name;
    name.found = m_network->Resolve(address, name.ipv4);
    name.at = m_clock();
    const std::lock_guard<std::mutex> lock(m_nameMutex);
    m_names[address] = name;
    ipv4 = name.ipv4;
    return name.found;
}

} // namespace kivrel
