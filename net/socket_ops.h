// The few datagram-socket calls the sender makes, and what it asks the system
// before them, behind a seam so that tests can make each of them fail or
// answer as they please. The system implementation is per platform.
#pragma once

#include "net/ipv4.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kivrel {

class SocketOps {
public:
    using Handle = std::uintptr_t;
    static constexpr Handle kInvalid = ~Handle(0);

    virtual ~SocketOps() = default;
    // As ReadAdapterAddresses: the adapters to send through, false if unreadable.
    virtual bool AdapterAddresses(std::vector<std::uint32_t>& addresses) = 0;
    // As ReadAdapterSubnets: which destinations lie on this PC's own networks.
    virtual bool AdapterSubnets(std::vector<Subnet>& subnets) = 0;
    // As ResolveHostName: a destination's name to its address, at send time.
    virtual bool Resolve(const std::string& utf8Name, std::uint32_t& ipv4) = 0;
    virtual Handle OpenUdp() = 0;
    virtual bool EnableBroadcast(Handle socket) = 0;
    // Binds to an adapter's address (host byte order) and an ephemeral port.
    virtual bool Bind(Handle socket, std::uint32_t address) = 0;
    // Returns the byte count the platform reports, or a negative value on error.
    virtual long SendTo(Handle socket, const std::uint8_t* data, std::size_t size,
                        std::uint32_t address, std::uint16_t port) = 0;
    virtual void Close(Handle socket) = 0;
};

// The platform's sockets: Winsock (WSOCK32) on Windows, BSD sockets elsewhere.
SocketOps& SystemSocketOps();

} // namespace kivrel
