// A receiver on UDP port 7 for the sending tests, which refuses to exist
// outside a network namespace that holds nothing but loopback.
#pragma once

#include <cstdint>
#include <vector>

namespace kivrel::test {

struct Datagram {
    std::vector<std::uint8_t> payload;
    std::uint32_t destination = 0; // host byte order, from the IP header
    std::uint16_t port = 0;
};

class UdpListener {
public:
    explicit UdpListener(std::uint16_t port);
    ~UdpListener();
    UdpListener(const UdpListener&) = delete;
    UdpListener& operator=(const UdpListener&) = delete;

    bool ok() const { return m_fd >= 0; }
    // Waits up to timeoutMs for one datagram; false on time-out.
    bool Receive(Datagram& out, int timeoutMs);

private:
    int m_fd = -1;
    std::uint16_t m_port;
};

} // namespace kivrel::test
