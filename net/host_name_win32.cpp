#include "net/host_name.h"

#include "net/ipv4.h"

// GetAddrInfoW's types are declared for XP and later.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0501
#include <winsock2.h>
#include <ws2tcpip.h>

#include <new>

namespace kivrel {

bool ResolveHostName(const std::string& utf8Name, std::uint32_t& ipv4) {
    std::vector<std::uint32_t> addresses;
    if (!ResolveHostAddresses(utf8Name, addresses)) {
        return false;
    }
    ipv4 = addresses.front();
    return true;
}

bool ResolveHostAddresses(const std::string& utf8Name, std::vector<std::uint32_t>& addresses) {
    // Looked up, never imported: the exe imports the socket library as WSOCK32
    // only, loaded by name from the system folder once start-up has limited
    // the search to it.
    using GetAddrInfoWFn = INT(WSAAPI*)(PCWSTR, PCWSTR, const ADDRINFOW*, PADDRINFOW*);
    using FreeAddrInfoWFn = VOID(WSAAPI*)(PADDRINFOW);
    const HMODULE dll = ::LoadLibraryW(L"ws2_32.dll");
    if (dll == nullptr || utf8Name.empty()) {
        return false;
    }
    const auto getInfo = reinterpret_cast<GetAddrInfoWFn>(
        reinterpret_cast<void*>(::GetProcAddress(dll, "GetAddrInfoW")));
    const auto freeInfo = reinterpret_cast<FreeAddrInfoWFn>(
        reinterpret_cast<void*>(::GetProcAddress(dll, "FreeAddrInfoW")));
    const int size = static_cast<int>(utf8Name.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8Name.data(), size, nullptr, 0);
    if (getInfo == nullptr || freeInfo == nullptr || length <= 0) {
        return false;
    }
    std::wstring name(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8Name.data(), size, &name[0], length);
    ADDRINFOW hints = {};
    hints.ai_family = AF_INET;
    ADDRINFOW* found = nullptr;
    if (getInfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
        return false;
    }
    addresses.clear();
    try {
        for (const ADDRINFOW* info = found; info != nullptr; info = info->ai_next) {
            if (info->ai_family == AF_INET && info->ai_addr != nullptr) {
                addresses.push_back(Ipv4FromNetwork(
                    &reinterpret_cast<const sockaddr_in*>(info->ai_addr)->sin_addr));
            }
        }
    } catch (const std::bad_alloc&) {
        addresses.clear();
    }
    freeInfo(found);
    return !addresses.empty();
}

} // namespace kivrel
