// One PC that can be woken: what the list shows, the data file keeps and the
// sender needs. Deliberately nothing else (no IP, port or password).
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kivrel {

// mac[0] first: the order of the text form, of the data file and of the wire.
using MacBytes = std::array<std::uint8_t, 6>;

struct TargetEntry {
    std::string name; // bytes in the ANSI code page, never converted here
    MacBytes mac{};

    // The 17-character upper-case form, e.g. "00-1A-2B-3C-4D-5E".
    std::string FormatMacText() const;
};

inline bool operator==(const TargetEntry& a, const TargetEntry& b) {
    return a.name == b.name && a.mac == b.mac;
}
inline bool operator!=(const TargetEntry& a, const TargetEntry& b) {
    return !(a == b);
}

} // namespace kivrel
