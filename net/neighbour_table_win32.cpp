#include "net/neighbour_table.h"

#include "net/ipv4.h"

// The table's types are declared for Vista and later only; the functions are
// looked up below, so the program still starts on XP.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
// The table's types are declared with Winsock 2's.
#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>

#include <new>

namespace kivrel {
namespace {

using GetIpNetTable2Fn = DWORD(WINAPI*)(ADDRESS_FAMILY, PMIB_IPNET_TABLE2*);
using FreeMibTableFn = void(WINAPI*)(PVOID);

// Vista and later only: looked up, never imported, so that the program still
// starts where they are missing. Loaded by name as the delayed imports are,
// after start-up has limited the search to the system folder.
template <typename Function> Function IphlpapiFunction(const char* name) {
    const HMODULE dll = ::LoadLibraryW(L"iphlpapi.dll");
    return dll != nullptr
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(dll, name)))
               : nullptr;
}

NeighbourEntry RowOf(const MIB_IPNET_ROW2& row) {
    NeighbourEntry result;
    result.ipv4 = Ipv4FromNetwork(&row.Address.Ipv4.sin_addr);
    result.hasMac = row.PhysicalAddressLength == result.mac.size();
    for (std::size_t i = 0; result.hasMac && i < result.mac.size(); ++i) {
        result.mac[i] = row.PhysicalAddress[i];
    }
    result.unreachable =
        row.IsUnreachable || row.State == NlnsUnreachable || row.State == NlnsIncomplete;
    result.sinceReachableMs = row.State == NlnsPermanent ? 0 : row.ReachabilityTime.LastReachable;
    return result;
}

} // namespace

bool ReadNeighbourTable(std::vector<NeighbourEntry>& rows) {
    static const auto getTable = IphlpapiFunction<GetIpNetTable2Fn>("GetIpNetTable2");
    static const auto freeTable = IphlpapiFunction<FreeMibTableFn>("FreeMibTable");
    MIB_IPNET_TABLE2* table = nullptr;
    if (getTable == nullptr || freeTable == nullptr || getTable(AF_INET, &table) != NO_ERROR) {
        return false;
    }
    bool read = true;
    try {
        rows.clear();
        for (ULONG i = 0; i < table->NumEntries; ++i) {
            rows.push_back(RowOf(table->Table[i]));
        }
    } catch (const std::bad_alloc&) {
        read = false;
    }
    freeTable(table);
    return read;
}

} // namespace kivrel
