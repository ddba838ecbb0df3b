#include "net/adapter_addresses.h"

#include "net/ipv4.h"

// GetAdaptersAddresses is declared only after Winsock 2's types.
#include <winsock2.h>
#include <iphlpapi.h>

#include <new>

namespace kivrel {
namespace {

const IP_ADAPTER_ADDRESSES* ReadList(std::vector<ULONGLONG>& buffer, ULONG& result) {
    const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    ULONG size = 16 * 1024;
    // An adapter may appear between the call that gives the size and the next.
    result = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 3 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.resize(size / sizeof(ULONGLONG) + 1); // 8-byte aligned, as the list needs
        result = ::GetAdaptersAddresses(
            AF_INET, flags, nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    return reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data());
}

bool ReadUsable(std::vector<std::uint32_t>& addresses) {
    std::vector<ULONGLONG> buffer;
    ULONG result;
    const IP_ADAPTER_ADDRESSES* adapter = ReadList(buffer, result);
    if (result == ERROR_NO_DATA) {
        return true;
    }
    if (result != NO_ERROR) {
        return false;
    }
    for (; adapter != nullptr; adapter = adapter->Next) {
        if (adapter->OperStatus != IfOperStatusUp || adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK) {
            continue;
        }
        for (auto* unicast = adapter->FirstUnicastAddress; unicast != nullptr;
             unicast = unicast->Next) {
            // A tentative or duplicate address cannot be bound yet, or ever.
            const sockaddr* address = unicast->Address.lpSockaddr;
            if (address != nullptr && address->sa_family == AF_INET &&
                unicast->DadState != IpDadStateTentative &&
                unicast->DadState != IpDadStateDuplicate) {
                addresses.push_back(
                    Ipv4FromNetwork(&reinterpret_cast<const sockaddr_in*>(address)->sin_addr));
                break;
            }
        }
    }
    return true;
}

// An IP Helper table in an 8-byte aligned buffer; a row may appear between
// the call that gives the size and the next. Null when it cannot be read.
template <typename Table>
const Table* ReadTable(DWORD(WINAPI* read)(Table*, PULONG, BOOL), std::vector<ULONGLONG>& buffer) {
    ULONG size = 0;
    DWORD result = ERROR_INSUFFICIENT_BUFFER;
    for (int attempt = 0; attempt < 3 && result == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
        buffer.resize(size / sizeof(ULONGLONG) + 1);
        result = read(reinterpret_cast<Table*>(buffer.data()), &size, FALSE);
    }
    return result == NO_ERROR ? reinterpret_cast<const Table*>(buffer.data()) : nullptr;
}

} // namespace

bool ReadAdapterSubnets(std::vector<Subnet>& subnets) {
    std::vector<ULONGLONG> buffer;
    const auto* table = ReadTable<MIB_IPADDRTABLE>(::GetIpAddrTable, buffer);
    if (table == nullptr) {
        return false;
    }
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        // The loopback's 127.0.0.0/8 is no network of this PC's, as on Linux.
        const std::uint32_t address = Ipv4FromNetwork(&table->table[i].dwAddr);
        if (address >> 24 != 127) {
            subnets.push_back({address, PrefixOf(Ipv4FromNetwork(&table->table[i].dwMask))});
        }
    }
    return true;
}

bool ReadDefaultGateways(std::vector<std::uint32_t>& gateways) {
    std::vector<ULONGLONG> buffer;
    const auto* table = ReadTable<MIB_IPFORWARDTABLE>(::GetIpForwardTable, buffer);
    if (table == nullptr) {
        return false;
    }
    gateways.clear();
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        const MIB_IPFORWARDROW& row = table->table[i];
        if (row.dwForwardDest == 0 && row.dwForwardMask == 0 && row.dwForwardNextHop != 0) {
            gateways.push_back(Ipv4FromNetwork(&row.dwForwardNextHop));
        }
    }
    return true;
}

bool ReadAdapterAddresses(std::vector<std::uint32_t>& addresses) {
    try {
        return ReadUsable(addresses);
    } catch (const std::bad_alloc&) {
        return false; // the sender then falls back to one unbound copy
    }
}

} // namespace kivrel
