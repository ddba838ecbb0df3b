#include "wake/wake_packet.h"

#include <cstring>

namespace kivrel {

void BuildWakePacket(WakePacket& packet, const MacBytes& mac) {
    std::memset(packet.data(), 0xFF, 6);
    for (std::size_t offset = 6; offset < kWakePacketSize; offset += mac.size()) {
        std::memcpy(&packet[offset], mac.data(), mac.size());
    }
}

} // namespace kivrel
