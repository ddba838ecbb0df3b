// The few datagram-socket calls the sender makes, behind a seam so that tests
// can make each of them fail. The system implementation is per platform.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kivrel {

class SocketOps {
public:
    using Handle = std::uintptr_t;
    static constexpr Handle kInvalid = ~Handle(0);

    virtual ~SocketOps() = default;
    virtual Handle OpenUdp() = 0;
    virtual bool EnableBroadcast(Handle socket) = 0;
    // Returns the byte count the platform reports, or a negative value on error.
    virtual long SendTo(Handle socket, const std::uint8_t* data, std::size_t size,
                        std::uint32_t address, std::uint16_t port) = 0;
    virtual void Close(Handle socket) = 0;
};

// The platform's sockets: Winsock (WSOCK32) on Windows, BSD sockets elsewhere.
SocketOps& SystemSocketOps();

} // namespace kivrel
