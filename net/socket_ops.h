// The few datagram-socket calls the sender makes, behind a seam so that tests
// can make each of them fail. The system implementation is per platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kivrel {

class SocketOps {
public:
    using Handle = std::uintptr_t;
    static constexpr Handle kInvalid = ~Handle(0);

    virtual ~SocketOps() = default;
    // As ReadAdapterAddresses: the adapters to send through, false if unreadable.
    virtual bool AdapterAddresses(std::vector<std::uint32_t>& addresses) = 0;
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
