#include "net/adapter_addresses.h"

#include "net/ipv4.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cstring>
#include <new>

namespace kivrel {
namespace {

bool IsUsable(const ifaddrs& entry) {
    const unsigned flags = entry.ifa_flags;
    return entry.ifa_addr != nullptr && entry.ifa_addr->sa_family == AF_INET &&
           (flags & IFF_UP) != 0 && (flags & IFF_RUNNING) != 0 && (flags & IFF_LOOPBACK) == 0;
}

// One entry per address; a labelled further address reads "eth0:1".
bool SameAdapter(const char* a, const char* b) {
    const std::size_t length = std::strcspn(a, ":");
    return length == std::strcspn(b, ":") && std::strncmp(a, b, length) == 0;
}

bool SeenBefore(const ifaddrs* list, const ifaddrs* entry) {
    for (const ifaddrs* earlier = list; earlier != entry; earlier = earlier->ifa_next) {
        if (IsUsable(*earlier) && SameAdapter(earlier->ifa_name, entry->ifa_name)) {
            return true;
        }
    }
    return false;
}

} // namespace

bool ReadAdapterSubnets(std::vector<Subnet>& subnets) {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        return false;
    }
    bool read = true;
    try {
        for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
            if (IsUsable(*entry) && entry->ifa_netmask != nullptr) {
                sockaddr_in address;
                sockaddr_in mask;
                std::memcpy(&address, entry->ifa_addr, sizeof address);
                std::memcpy(&mask, entry->ifa_netmask, sizeof mask);
                subnets.push_back({Ipv4FromNetwork(&address.sin_addr),
                                   PrefixOf(Ipv4FromNetwork(&mask.sin_addr))});
            }
        }
    } catch (const std::bad_alloc&) {
        read = false;
    }
    ::freeifaddrs(list);
    return read;
}

bool ReadAdapterAddresses(std::vector<std::uint32_t>& addresses) {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        return false;
    }
    bool read = true;
    try {
        for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
            if (IsUsable(*entry) && !SeenBefore(list, entry)) {
                sockaddr_in address;
                std::memcpy(&address, entry->ifa_addr, sizeof address);
                addresses.push_back(Ipv4FromNetwork(&address.sin_addr));
            }
        }
    } catch (const std::bad_alloc&) {
        read = false; // the sender then falls back to one unbound copy
    }
    ::freeifaddrs(list);
    return read;
}

} // namespace kivrel
