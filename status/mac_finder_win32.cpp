// Newer Windows' resolver types; its functions are looked up, never imported.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600

#include "status/mac_finder.h"

#include "net/adapter_addresses.h"
#include "net/host_name.h"
#include "net/icmp_echo.h"
#include "net/neighbour_table.h"

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

class SystemLookupOps final : public LookupOps {
public:
    bool Resolve(const std::string& utf8Name, std::vector<std::uint32_t>& addresses) override {
        return ResolveHostAddresses(utf8Name, addresses);
    }

    bool ReadSubnets(std::vector<Subnet>& subnets) override { return ReadAdapterSubnets(subnets); }

    ArpResult AskArp(std::uint32_t address, MacBytes& mac) override {
        IPAddr ip;
        Ipv4ToNetwork(address, &ip);
        ULONG hardware[2] = {};
        ULONG length = sizeof hardware;
        const DWORD result = ::SendARP(ip, 0, hardware, &length);
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
    void Echo(std::uint32_t address) override { SendEcho(address, kEchoTimeoutMs); }

    bool ReadNeighbours(std::vector<NeighbourEntry>& rows) override {
        return ReadNeighbourTable(rows);
    }

    void Pause(unsigned ms) override { ::Sleep(ms); }

    bool ReadGateways(std::vector<std::uint32_t>& gateways) override {
        return ReadDefaultGateways(gateways);
    }
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
