#include "net/socket_ops.h"

#include "net/adapter_addresses.h"
#include "net/host_name.h"
#include "net/ipv4.h"

#include <winsock.h>

#include <cstring>

namespace kivrel {
namespace {

class WinsockOps final : public SocketOps {
public:
    bool AdapterAddresses(std::vector<std::uint32_t>& addresses) override {
        return ReadAdapterAddresses(addresses);
    }

    bool AdapterSubnets(std::vector<Subnet>& subnets) override {
        return ReadAdapterSubnets(subnets);
    }

    bool Resolve(const std::string& utf8Name, std::uint32_t& ipv4) override {
        return ResolveHostName(utf8Name, ipv4);
    }

    Handle OpenUdp() override {
        const SOCKET s = ::socket(AF_INET, SOCK_DGRAM, 0);
        return s == INVALID_SOCKET ? kInvalid : static_cast<Handle>(s);
    }

    bool EnableBroadcast(Handle socket) override {
        // A BOOL-wide value: accepted by every socket layer, unlike a single byte.
        const BOOL on = TRUE;
        return ::setsockopt(static_cast<SOCKET>(socket), SOL_SOCKET, SO_BROADCAST,
                            reinterpret_cast<const char*>(&on), sizeof on) != SOCKET_ERROR;
    }

    bool Bind(Handle socket, std::uint32_t address) override {
        sockaddr_in at{}; // port 0: an ephemeral one
        at.sin_family = AF_INET;
        Ipv4ToNetwork(address, &at.sin_addr);
        return ::bind(static_cast<SOCKET>(socket), reinterpret_cast<const sockaddr*>(&at),
                      sizeof at) != SOCKET_ERROR;
    }

    long SendTo(Handle socket, const std::uint8_t* data, std::size_t size, std::uint32_t address,
                std::uint16_t port) override {
        sockaddr_in to;
        std::memset(&to, 0, sizeof to);
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        Ipv4ToNetwork(address, &to.sin_addr);
        return ::sendto(static_cast<SOCKET>(socket), reinterpret_cast<const char*>(data),
                        static_cast<int>(size), 0, reinterpret_cast<const sockaddr*>(&to),
                        sizeof to);
    }

    void Close(Handle socket) override { ::closesocket(static_cast<SOCKET>(socket)); }
};

} // namespace

SocketOps& SystemSocketOps() {
    static WinsockOps ops;
    return ops;
}

} // namespace kivrel
