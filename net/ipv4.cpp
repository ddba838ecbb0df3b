#include "net/ipv4.h"

namespace kivrel {
namespace {

std::uint32_t MaskOf(unsigned prefixLength) {
    return prefixLength == 0 ? 0 : ~std::uint32_t(0) << (32 - prefixLength);
}

} // namespace

std::uint32_t Ipv4FromNetwork(const void* bytes) {
    const auto* b = static_cast<const unsigned char*>(bytes);
    return std::uint32_t(b[0]) << 24 | std::uint32_t(b[1]) << 16 | std::uint32_t(b[2]) << 8 | b[3];
}

void Ipv4ToNetwork(std::uint32_t address, void* bytes) {
    auto* b = static_cast<unsigned char*>(bytes);
    b[0] = static_cast<unsigned char>(address >> 24);
    b[1] = static_cast<unsigned char>(address >> 16);
    b[2] = static_cast<unsigned char>(address >> 8);
    b[3] = static_cast<unsigned char>(address);
}

unsigned PrefixOf(std::uint32_t mask) {
    unsigned length = 0;
    for (; mask & 0x80000000u; mask <<= 1) {
        ++length;
    }
    return length;
}

std::string FormatIpv4(std::uint32_t ipv4) {
    return std::to_string(ipv4 >> 24) + '.' + std::to_string((ipv4 >> 16) & 0xFF) + '.' +
           std::to_string((ipv4 >> 8) & 0xFF) + '.' + std::to_string(ipv4 & 0xFF);
}

bool ParseIpv4(const std::string& text, std::uint32_t& address) {
    std::uint32_t value = 0;
    std::size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0 && (at >= text.size() || text[at++] != '.')) {
            return false;
        }
        const std::size_t start = at;
        unsigned number = 0;
        while (at < text.size() && at - start < 3 && text[at] >= '0' && text[at] <= '9') {
            number = number * 10 + static_cast<unsigned>(text[at++] - '0');
        }
        if (at == start || number > 255 || (text[start] == '0' && at - start > 1)) {
            return false;
        }
        value = value << 8 | number;
    }
    if (at != text.size()) {
        return false;
    }
    address = value;
    return true;
}

bool OnLocalSubnet(std::uint32_t address, const std::vector<Subnet>& subnets) {
    for (const Subnet& subnet : subnets) {
        // A /0 is no network of its own; /31 and /32 have no broadcast address.
        if (subnet.prefixLength == 0 || subnet.prefixLength > 32) {
            continue;
        }
        const std::uint32_t mask = MaskOf(subnet.prefixLength);
        if ((address & mask) != (subnet.address & mask)) {
            continue;
        }
        const std::uint32_t host = address & ~mask;
        if (subnet.prefixLength >= 31 || (host != 0 && host != ~mask)) {
            return true;
        }
    }
    return false;
}

bool WithinSubnets(std::uint32_t address, const std::vector<Subnet>& subnets) {
    for (const Subnet& subnet : subnets) {
        // A /0 is no network of its own.
        if (subnet.prefixLength != 0 && subnet.prefixLength <= 32 &&
            (address & MaskOf(subnet.prefixLength)) ==
                (subnet.address & MaskOf(subnet.prefixLength))) {
            return true;
        }
    }
    return false;
}

} // namespace kivrel
