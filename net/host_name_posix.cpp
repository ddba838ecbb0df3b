#include "net/host_name.h"

#include "net/ipv4.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace kivrel {

bool ResolveHostName(const std::string& utf8Name, std::uint32_t& ipv4) {
    if (utf8Name.empty()) {
        return false;
    }
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(utf8Name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
        return false;
    }
    ipv4 = Ipv4FromNetwork(&reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr);
    ::freeaddrinfo(found);
    return true;
}

} // namespace kivrel
