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

std::uint32_t Ipv4Of(const sockaddr* address) {
    sockaddr_in in;
    std::memcpy(&in, address, sizeof in);
    return Ipv4FromNetwork(&in.sin_addr);
}

// Calls take(list, entry) for each usable entry; false when the list cannot
// be read, memory included.
template <typename Take> bool ForEachUsable(Take take) {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        return false;
    }
    bool read = true;
    try {
        for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
            if (IsUsable(*entry)) {
                take(list, *entry);
            }
        }
    } catch (const std::bad_alloc&) {
        read = false;
    }
    ::freeifaddrs(list);
    return read;
}

} // namespace

bool ReadAdapterSubnets(std::vector<Subnet>& subnets) {
    return ForEachUsable([&](const ifaddrs*, const ifaddrs& entry) {
        if (entry.ifa_netmask != nullptr) {
            subnets.push_back({Ipv4Of(entry.ifa_addr), PrefixOf(Ipv4Of(entry.ifa_netmask))});
        }
    });
}

// On failure the sender falls back to one unbound copy.
bool ReadAdapterAddresses(std::vector<std::uint32_t>& addresses) {
    return ForEachUsable([&](const ifaddrs* list, const ifaddrs& entry) {
        if (!SeenBefore(list, &entry)) {
            addresses.push_back(Ipv4Of(entry.ifa_addr));
        }
    });
}

} // namespace kivrel
