#include "net/socket_ops.h"

#include "net/adapter_addresses.h"
#include "net/host_name.h"
#include "net/ipv4.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace kivrel {
namespace {

class PosixSocketOps final : public SocketOps {
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
        const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        return fd < 0 ? kInvalid : static_cast<Handle>(fd);
    }

    bool EnableBroadcast(Handle socket) override {
        // Linux rejects a one-byte option value, so the value is an int.
        const int on = 1;
        return ::setsockopt(static_cast<int>(socket), SOL_SOCKET, SO_BROADCAST, &on, sizeof on) ==
               0;
    }

    bool Bind(Handle socket, std::uint32_t address) override {
        sockaddr_in at{}; // port 0: an ephemeral one
        at.sin_family = AF_INET;
        Ipv4ToNetwork(address, &at.sin_addr);
        return ::bind(static_cast<int>(socket), reinterpret_cast<const sockaddr*>(&at),
                      sizeof at) == 0;
    }

    long SendTo(Handle socket, const std::uint8_t* data, std::size_t size, std::uint32_t address,
                std::uint16_t port) override {
        sockaddr_in to;
        std::memset(&to, 0, sizeof to);
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        Ipv4ToNetwork(address, &to.sin_addr);
        return static_cast<long>(::sendto(static_cast<int>(socket), data, size, 0,
                                          reinterpret_cast<const sockaddr*>(&to), sizeof to));
    }

    void Close(Handle socket) override { ::close(static_cast<int>(socket)); }
};

} // namespace

SocketOps& SystemSocketOps() {
    static PosixSocketOps ops;
    return ops;
}

} // namespace kivrel
