#include "tests/native/udp_listener.h"

#include "tests/native/isolation.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace kivrel::test {

UdpListener::UdpListener(std::uint16_t port) : m_port(port) {
    if (!IsolationProblem().empty()) {
        return;
    }
    m_fd = socket(AF_INET, SOCK_DGRAM, 0);
    const int on = 1;
    setsockopt(m_fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof on);
    sockaddr_in at;
    std::memset(&at, 0, sizeof at);
    at.sin_family = AF_INET;
    at.sin_port = htons(port);
    if (bind(m_fd, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0) {
        close(m_fd);
        m_fd = -1;
    }
}

UdpListener::~UdpListener() {
    if (m_fd >= 0) {
        close(m_fd);
    }
}

bool UdpListener::Receive(Datagram& out, int timeoutMs) {
    pollfd p = {m_fd, POLLIN, 0};
    if (m_fd < 0 || poll(&p, 1, timeoutMs) != 1) {
        return false;
    }
    std::uint8_t buffer[2048];
    char control[256];
    iovec io = {buffer, sizeof buffer};
    msghdr msg;
    std::memset(&msg, 0, sizeof msg);
    msg.msg_iov = &io;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    const ssize_t n = recvmsg(m_fd, &msg, 0);
    if (n < 0) {
        return false;
    }
    out.payload.assign(buffer, buffer + n);
    out.port = m_port;
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c != nullptr; c = CMSG_NXTHDR(&msg, c)) {
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
            in_pktinfo info;
            std::memcpy(&info, CMSG_DATA(c), sizeof info);
            out.destination = ntohl(info.ipi_addr.s_addr);
        }
    }
    return true;
}

} // namespace kivrel::test
