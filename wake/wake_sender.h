// Sends one wake packet as a UDP broadcast. Opens and closes its own socket on
// every call, so it keeps no state and may run on any thread.
#pragma once

#include "targets/target_entry.h"
#include "wake/socket_ops.h"

namespace kivrel {

enum SendResult {
    SEND_OK = 0,
    SEND_ERR_SOCKET = -1,
    SEND_ERR_BROADCAST = -3,
    SEND_ERR_SENDTO = -4,
};

// Requires the platform's socket library to be started (WSAStartup on Windows).
int SendWakePacket(const MacBytes& mac);
int SendWakePacket(const MacBytes& mac, SocketOps& ops);

} // namespace kivrel
