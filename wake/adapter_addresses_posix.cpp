#include "wake/adapter_addresses.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace kivrel {

bool ReadAdapterAddresses(std::vector<std::uint32_t>& addresses) {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        return false;
    }
    // One entry per address; a labelled further address reads "eth0:1".
    std::vector<std::string> seen;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        const unsigned flags = entry->ifa_flags;
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET ||
            (flags & IFF_UP) == 0 || (flags & IFF_RUNNING) == 0 || (flags & IFF_LOOPBACK) != 0) {
            continue;
        }
        const std::string adapter(entry->ifa_name, std::strcspn(entry->ifa_name, ":"));
        if (std::find(seen.begin(), seen.end(), adapter) != seen.end()) {
            continue;
        }
        seen.push_back(adapter);
        sockaddr_in address;
        std::memcpy(&address, entry->ifa_addr, sizeof address);
        addresses.push_back(ntohl(address.sin_addr.s_addr));
    }
    ::freeifaddrs(list);
    return true;
}

} // namespace kivrel
