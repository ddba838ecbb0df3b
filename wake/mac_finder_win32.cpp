// Newer Windows' resolver types; its functions are looked up, never imported.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600

#include "wake/mac_finder.h"
#include "wake/echo_network.h"
#include "wake/host_name.h"
#include "wake/neighbour_table.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include <atomic>
#include <cstring>
#include <exception>

namespace kivrel {

struct MacFinderJob {
    std::string text;
    HWND notify = nullptr;
    Lookup lookup;
    std::atomic<bool> done{false};
};

namespace {

IPAddr ToIpAddr(std::uint32_t address) {
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(address >> 24), static_cast<unsigned char>(address >> 16),
        static_cast<unsigned char>(address >> 8), static_cast<unsigned char>(address)};
    IPAddr ip;
    std::memcpy(&ip, bytes, sizeof ip);
    return ip;
}

std::uint32_t FromBytes(const void* at) {
    const auto* b = static_cast<const unsigned char*>(at);
    return std::uint32_t(b[0]) << 24 | std::uint32_t(b[1]) << 16 | std::uint32_t(b[2]) << 8 | b[3];
}

unsigned PrefixOf(DWORD mask) {
    unsigned length = 0;
    for (std::uint32_t m = FromBytes(&mask); m & 0x80000000u; m <<= 1) {
        ++length;
    }
    return length;
}

class SystemLookupOps final : public LookupOps {
public:
    bool Resolve(const std::string& utf8Name, std::uint32_t& address) override {
        return ResolveHostName(utf8Name, address);
    }

    bool ReadSubnets(std::vector<Subnet>& subnets) override {
        ULONG size = 0;
        std::vector<ULONGLONG> buffer;
        DWORD result = ERROR_INSUFFICIENT_BUFFER;
        for (int attempt = 0; attempt < 3 && result == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
            buffer.resize(size / sizeof(ULONGLONG) + 1);
            result =
                ::GetIpAddrTable(reinterpret_cast<MIB_IPADDRTABLE*>(buffer.data()), &size, FALSE);
        }
        if (result != NO_ERROR) {
            return false;
        }
        const auto* table = reinterpret_cast<const MIB_IPADDRTABLE*>(buffer.data());
        for (DWORD i = 0; i < table->dwNumEntries; ++i) {
            subnets.push_back(
                {FromBytes(&table->table[i].dwAddr), PrefixOf(table->table[i].dwMask)});
        }
        return true;
    }

    ArpResult AskArp(std::uint32_t address, MacBytes& mac) override {
        ULONG hardware[2] = {};
        ULONG length = sizeof hardware;
        const DWORD result = ::SendARP(ToIpAddr(address), 0, hardware, &length);
        if (result == ERROR_NOT_SUPPORTED) {
            return ARP_UNSUPPORTED;
        }
        if (result != NO_ERROR || length != mac.size()) {
            return ARP_NO_ANSWER;
        }
        std::memcpy(mac.data(), hardware, mac.size());
        return ARP_FOUND;
    }

    // Only for what it leaves in the neighbour table: the answer is not needed.
    void Echo(std::uint32_t address) override { EchoNetwork().Echo(address, kEchoTimeoutMs); }

    bool ReadNeighbours(std::vector<NeighbourEntry>& rows) override {
        return ReadNeighbourTable(rows);
    }

    void Pause(unsigned ms) override { ::Sleep(ms); }
};

DWORD WINAPI FinderThread(LPVOID param) {
    const std::unique_ptr<std::shared_ptr<MacFinderJob>> share(
        static_cast<std::shared_ptr<MacFinderJob>*>(param));
    MacFinderJob& job = **share;
    // The resolver needs the socket library started on this thread's behalf too.
    WSADATA data;
    const bool started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    try {
        SystemLookupOps ops;
        job.lookup = FindMac(job.text, ops);
    } catch (const std::exception&) {
        job.lookup = Lookup(); // out of memory: as if nobody answered
    }
    if (started) {
        ::WSACleanup();
    }
    job.done.store(true, std::memory_order_release);
    ::PostMessageW(job.notify, WM_MAC_FOUND, 0, 0);
    return 0;
}

} // namespace

bool MacFinder::Start(const std::string& text, HWND notify) {
    auto job = std::make_shared<MacFinderJob>();
    job->text = text;
    job->notify = notify;
    auto share = std::make_unique<std::shared_ptr<MacFinderJob>>(job);
    const HANDLE thread = ::CreateThread(nullptr, 0, FinderThread, share.get(), 0, nullptr);
    if (thread == nullptr) {
        return false;
    }
    share.release();
    ::CloseHandle(thread);
    m_job = std::move(job);
    return true;
}

bool MacFinder::TakeResult(Lookup& lookup) {
    if (!m_job || !m_job->done.load(std::memory_order_acquire)) {
        return false;
    }
    lookup = m_job->lookup;
    m_job.reset();
    return true;
}

} // namespace kivrel
