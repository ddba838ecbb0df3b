#include "res/utf8_strings.h"

#include "res/resource.h"

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
