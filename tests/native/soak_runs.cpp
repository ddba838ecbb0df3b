#include "tests/native/soak_runs.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace kivrel {
namespace {

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

} // namespace

int SoakRuns(int nativeRuns, int windowsRuns) {
    const char* text = std::getenv("KIVREL_SOAK_RUNS");
    if (text == nullptr || *text == '\0') {
        return kWindows ? windowsRuns : nativeRuns;
    }
    char* end = nullptr;
    errno = 0;
    const long runs = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || runs <= 0 || runs > INT_MAX) {
        return 0;
    }
    return static_cast<int>(runs);
}

std::uint32_t SoakSeed(std::uint32_t salt, int run) {
    return salt + static_cast<std::uint32_t>(run) * 2654435761u;
}

} // namespace kivrel
