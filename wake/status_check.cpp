#include "wake/status_check.h"

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

bool FindNeighbourAddress(const std::vector<NeighbourRow>& rows, const MacBytes& mac,
                          std::uint32_t& ipv4) {
    const NeighbourRow* latest = nullptr;
    for (const NeighbourRow& row : rows) {
        if (!row.hasMac || row.unreachable || row.mac != mac || IsEmptyOrGroupMac(row.mac) ||
            IsGroupAddress(row.ipv4)) {
            continue;
        }
        if (latest == nullptr || row.sinceReachableMs < latest->sinceReachableMs) {
            latest = &row;
        }
    }
    if (latest == nullptr) {
        return false;
    }
    ipv4 = latest->ipv4;
    return true;
}

bool EchoAddressOf(const StatusCheck& check, const std::vector<NeighbourRow>& neighbours,
                   StatusNetwork& network, std::uint32_t& ipv4, PcStatus& status) {
    if (check.address.empty()) {
        status = PC_STATUS_BLANK;
        return FindNeighbourAddress(neighbours, check.mac, ipv4);
    }
    status = PC_STATUS_DOWN;
    return network.Resolve(check.address, ipv4);
}

} // namespace kivrel
