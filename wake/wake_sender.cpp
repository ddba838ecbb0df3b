#include "wake/wake_sender.h"

#include "wake/wake_packet.h"

namespace kivrel {

int SendWakePacket(const MacBytes& mac) {
    return SendWakePacket(mac, SystemSocketOps());
}

int SendWakePacket(const MacBytes& mac, SocketOps& ops) {
    WakePacket packet;
    BuildWakePacket(packet, mac);

    const SocketOps::Handle socket = ops.OpenUdp();
    if (socket == SocketOps::kInvalid) {
        return SEND_ERR_SOCKET;
    }
    if (!ops.EnableBroadcast(socket)) {
        ops.Close(socket);
        return SEND_ERR_BROADCAST;
    }
    const long sent =
        ops.SendTo(socket, packet.data(), packet.size(), kLimitedBroadcast, WAKE_UDP_PORT);
    ops.Close(socket);
    return sent == static_cast<long>(kWakePacketSize) ? SEND_OK : SEND_ERR_SENDTO;
}

} // namespace kivrel
