#include "net/icmp_echo.h"

#include "net/ipv4.h"

#include <winsock2.h>
#include <iphlpapi.h>
#include <icmpapi.h>

namespace kivrel {

bool SendEcho(std::uint32_t ipv4, unsigned timeoutMs) {
    const HANDLE icmp = ::IcmpCreateFile();
    if (icmp == INVALID_HANDLE_VALUE) {
        return false;
    }
    IPAddr to;
    Ipv4ToNetwork(ipv4, &to);
    char payload[32] = "Kivrel";
    // Room for one reply, its payload and an ICMP error's.
    alignas(ICMP_ECHO_REPLY) unsigned char reply[sizeof(ICMP_ECHO_REPLY) + sizeof(payload) + 8];
    const DWORD replies = ::IcmpSendEcho(icmp, to, payload, sizeof(payload), nullptr, reply,
                                         sizeof(reply), timeoutMs);
    ::IcmpCloseHandle(icmp);
    return replies > 0 && reinterpret_cast<const ICMP_ECHO_REPLY*>(reply)->Status == IP_SUCCESS;
}

} // namespace kivrel
