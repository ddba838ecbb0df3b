// Sends one wake packet: as a UDP broadcast, one copy through each network
// adapter that is up (or one unbound copy when none is found, or when every
// adapter's copy failed), or to the PC's own destination. Opens and closes
// its own sockets on every call, so it keeps no state and may run on any
// thread.
#pragma once

#include "targets/target_entry.h"
#include "net/socket_ops.h"

#include <cstdint>
#include <string>

namespace kivrel {

enum SendResult {
    SEND_OK = 0,
    SEND_ERR_SOCKET = -1, // no socket, or it could not be bound to its adapter
    SEND_ERR_BROADCAST = -3,
    SEND_ERR_SENDTO = -4,
    SEND_ERR_NO_DESTINATION = -5, // the destination's name does not resolve: nothing sent
};

// One PC's wake: its MAC, and where the packet goes.
struct WakeTarget {
    MacBytes mac{};
    // A host name or IPv4 address, UTF-8; empty for this PC's LANs' broadcast.
    std::string destination;
    std::uint16_t port = 0; // 0 for port 7
};

// Requires the platform's socket library to be started (WSAStartup on Windows).
// The LAN broadcast to port 7, as a PC with no destination gets it: SEND_OK
// when one copy was accepted whole, else the first adapter's failure.
int SendWakePacket(const MacBytes& mac);
int SendWakePacket(const MacBytes& mac, SocketOps& ops);

// Without a destination, the LAN broadcast to the target's port. With one,
// its name is resolved now, and one datagram goes to it (broadcasts allowed,
// for another subnet's broadcast address); a destination on one of this PC's
// own subnets gets the LAN broadcast as well, should the PC not answer for
// its address while it sleeps. SEND_OK when any copy was accepted whole;
// SEND_ERR_NO_DESTINATION, with nothing sent, when the name does not resolve.
int SendWake(const WakeTarget& target);
int SendWake(const WakeTarget& target, SocketOps& ops);

} // namespace kivrel
