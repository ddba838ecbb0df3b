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

PcStatus CheckStatus(const StatusCheck& check, const std::vector<NeighbourRow>& neighbours,
                     StatusNetwork& network) {
    std::uint32_t ipv4 = 0;
    if (check.address.empty()) {
        if (!FindNeighbourAddress(neighbours, check.mac, ipv4)) {
            return PC_STATUS_BLANK;
        }
    } else if (!network.Resolve(check.address, ipv4)) {
        return PC_STATUS_DOWN;
    }
    return network.Echo(ipv4, kEchoTimeoutMs) ? PC_STATUS_UP : PC_STATUS_DOWN;
}

} // namespace kivrel
