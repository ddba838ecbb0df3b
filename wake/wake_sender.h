// Sends one wake packet as a UDP broadcast, one copy through each network
// adapter that is up (or one unbound copy when none is found, or when every
// adapter's copy failed). Opens and
// closes its own sockets on every call, so it keeps no state and may run on
// any thread.
#pragma once

#include "targets/target_entry.h"
#include "net/socket_ops.h"

namespace kivrel {

enum SendResult {
    SEND_OK = 0,
    SEND_ERR_SOCKET = -1, // no socket, or it could not be bound to its adapter
    SEND_ERR_BROADCAST = -3,
    SEND_ERR_SENDTO = -4,
};

// Requires the platform's socket library to be started (WSAStartup on Windows).
// SEND_OK when one copy was accepted whole, else the first adapter's failure.
int SendWakePacket(const MacBytes& mac);
int SendWakePacket(const MacBytes& mac, SocketOps& ops);

} // namespace kivrel
