// Between the system's ANSI code page, in which names are kept, and UTF-8,
// in which lists are exchanged. Only the platform knows its code page.
#pragma once

#include <string>

namespace kivrel {

class TextCodec {
public:
    virtual ~TextCodec() = default;
    virtual std::string AnsiToUtf8(const std::string& ansi) const = 0;
    // False when the code page cannot hold every character of the text.
    virtual bool Utf8ToAnsi(const std::string& utf8, std::string& ansi) const = 0;
};

} // namespace kivrel
