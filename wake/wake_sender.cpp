#include "wake/wake_sender.h"

#include "wake/wake_packet.h"

#include <vector>

namespace kivrel {
namespace {

// One datagram from a socket of its own, bound to the adapter's address if
// one is given. Broadcasts are allowed on every socket: whether an address
// of another subnet is its broadcast address only that subnet's router knows.
int SendOnce(SocketOps& ops, const WakePacket& packet, const std::uint32_t* adapter,
             std::uint32_t to, std::uint16_t port) {
    const SocketOps::Handle socket = ops.OpenUdp();
    if (socket == SocketOps::kInvalid) {
        return SEND_ERR_SOCKET;
    }
    int result = SEND_OK;
    if (!ops.EnableBroadcast(socket)) {
        result = SEND_ERR_BROADCAST;
    } else if (adapter != nullptr && !ops.Bind(socket, *adapter)) {
        result = SEND_ERR_SOCKET;
    } else if (ops.SendTo(socket, packet.data(), packet.size(), to, port) !=
               static_cast<long>(kWakePacketSize)) {
        result = SEND_ERR_SENDTO;
    }
    ops.Close(socket);
    return result;
}

// One copy to the limited broadcast through each adapter.
int SendLanBroadcast(SocketOps& ops, const WakePacket& packet, std::uint16_t port) {
    std::vector<std::uint32_t> adapters;
    if (!ops.AdapterAddresses(adapters) || adapters.empty()) {
        return SendOnce(ops, packet, nullptr, kLimitedBroadcast, port);
    }
    bool sent = false;
    int firstFailure = SEND_OK;
    for (const std::uint32_t adapter : adapters) {
        const int result = SendOnce(ops, packet, &adapter, kLimitedBroadcast, port);
        sent = sent || result == SEND_OK;
        if (result != SEND_OK && firstFailure == SEND_OK) {
            firstFailure = result;
        }
    }
    // No adapter took its copy: the system's own choice of interface may.
    if (sent || SendOnce(ops, packet, nullptr, kLimitedBroadcast, port) == SEND_OK) {
        return SEND_OK;
    }
    return firstFailure;
}

} // namespace

int SendWakePacket(const MacBytes& mac) {
    return SendWakePacket(mac, SystemSocketOps());
}

int SendWakePacket(const MacBytes& mac, SocketOps& ops) {
    WakePacket packet;
    BuildWakePacket(packet, mac);
    return SendLanBroadcast(ops, packet, WAKE_UDP_PORT);
}

int SendWake(const WakeTarget& target) {
    return SendWake(target, SystemSocketOps());
}

int SendWake(const WakeTarget& target, SocketOps& ops) {
    WakePacket packet;
    BuildWakePacket(packet, target.mac);
    const std::uint16_t port = target.port != 0 ? target.port : WAKE_UDP_PORT;
    if (target.destination.empty()) {
        return SendLanBroadcast(ops, packet, port);
    }
    std::uint32_t to = 0;
    if (!ParseIpv4(target.destination, to) && !ops.Resolve(target.destination, to)) {
        return SEND_ERR_NO_DESTINATION;
    }
    const int direct = SendOnce(ops, packet, nullptr, to, port);
    std::vector<Subnet> subnets;
    if (!ops.AdapterSubnets(subnets) || !WithinSubnets(to, subnets)) {
        return direct;
    }
    return SendLanBroadcast(ops, packet, port) == SEND_OK ? SEND_OK : direct;
}

} // namespace kivrel
