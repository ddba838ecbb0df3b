// The Wake-on-LAN magic packet: six 0xFF bytes, then the MAC sixteen times.
#pragma once

#include "targets/target_entry.h"

#include <array>
#include <cstdint>

namespace kivrel {

constexpr std::size_t kWakePacketSize = 102;
constexpr std::uint16_t WAKE_UDP_PORT = 7;
constexpr std::uint32_t kLimitedBroadcast = 0xFFFFFFFFu; // 255.255.255.255

using WakePacket = std::array<std::uint8_t, kWakePacketSize>;

void BuildWakePacket(WakePacket& packet, const MacBytes& mac);

} // namespace kivrel
