// Whether this process may send: only inside a network namespace that holds
// nothing but loopback, as tests/harness/isolated makes.
#pragma once

#include <string>

namespace kivrel::test {

// Empty when the network is isolated; otherwise why it is not.
std::string IsolationProblem();

} // namespace kivrel::test
