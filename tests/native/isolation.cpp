#include "tests/native/isolation.h"

#include <fstream>

namespace kivrel::test {

std::string IsolationProblem() {
    // /proc/self/net follows this process's namespace, unlike /sys/class/net.
    std::ifstream dev("/proc/self/net/dev");
    if (!dev) {
        return "cannot list the network interfaces";
    }
    std::string line, others;
    for (int n = 0; std::getline(dev, line); ++n) {
        const std::size_t colon = line.find(':');
        if (n < 2 || colon == std::string::npos) {
            continue;
        }
        const std::size_t start = line.find_first_not_of(' ');
        const std::string name = line.substr(start, colon - start);
        if (name != "lo") {
            others += " " + name;
        }
    }
    if (!others.empty()) {
        return "interfaces besides lo:" + others + "; run through tests/harness/isolated";
    }
    return std::string();
}

} // namespace kivrel::test
