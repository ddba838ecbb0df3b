#include "wake/wake_sender.h"

#include "wake/wake_packet.h"

#include <vector>

namespace kivrel {
namespace {

// One datagram from a socket of its own, bound to the adapter's address if
// one is given.
int SendOnce(SocketOps& ops, const WakePacket& packet, const std::uint32_t* adapter) {
    const SocketOps::Handle socket = ops.OpenUdp();
    if (socket == SocketOps::kInvalid) {
        return SEND_ERR_SOCKET;
    }
    int result = SEND_OK;
    if (!ops.EnableBroadcast(socket)) {
        result = SEND_ERR_BROADCAST;
    } else if (adapter != nullptr && !ops.Bind(socket, *adapter)) {
        result = SEND_ERR_SOCKET;
    } else if (ops.SendTo(socket, packet.data(), packet.size(), kLimitedBroadcast, WAKE_UDP_PORT) !=
               static_cast<long>(kWakePacketSize)) {
        result = SEND_ERR_SENDTO;
    }
    ops.Close(socket);
    return result;
}

} // namespace

int SendWakePacket(const MacBytes& mac) {
    return SendWakePacket(mac, SystemSocketOps());
}

int SendWakePacket(const MacBytes& mac, SocketOps& ops) {
    WakePacket packet;
    BuildWakePacket(packet, mac);

    std::vector<std::uint32_t> adapters;
    if (!ops.AdapterAddresses(adapters) || adapters.empty()) {
        return SendOnce(ops, packet, nullptr);
    }
    bool sent = false;
    int firstFailure = SEND_OK;
    for (const std::uint32_t adapter : adapters) {
        const int result = SendOnce(ops, packet, &adapter);
        sent = sent || result == SEND_OK;
        if (result != SEND_OK && firstFailure == SEND_OK) {
            firstFailure = result;
        }
    }
    // No adapter took its copy: the system's own choice of interface may.
    if (sent || SendOnce(ops, packet, nullptr) == SEND_OK) {
        return SEND_OK;
    }
    return firstFailure;
}

} // namespace kivrel
