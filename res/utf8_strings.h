// The string table for builds without Windows resources (the Linux program
// and the native tests), from the same source as the resource script.
#pragma once

namespace kivrel {

// The UTF-8 text of a string id, or nullptr if there is none.
const char* Utf8String(unsigned id);

} // namespace kivrel
