#include "res/utf8_strings.h"

#include "res/resource.h"

#include <cstddef>

namespace kivrel {
namespace {

struct Entry {
    unsigned id;
    const char* text;
};

#define KIVREL_STRING(id, text) {id, text},
constexpr Entry kStrings[] = {
#include "res/strings.inc"
};
#undef KIVREL_STRING

// Two texts of one id: the resource compiler keeps one of them without a word.
constexpr bool IdsAreUnique() {
    for (std::size_t i = 0; i < sizeof kStrings / sizeof kStrings[0]; ++i) {
        for (std::size_t j = i + 1; j < sizeof kStrings / sizeof kStrings[0]; ++j) {
            if (kStrings[i].id == kStrings[j].id) {
                return false;
            }
        }
    }
    return true;
}
static_assert(IdsAreUnique(), "two texts in res/strings.inc share an id");

} // namespace

const char* Utf8String(unsigned id) {
    for (const Entry& e : kStrings) {
        if (e.id == id) {
            return e.text;
        }
    }
    return nullptr;
}

} // namespace kivrel
