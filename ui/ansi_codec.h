// The system's ANSI code page, in which the list keeps its names, to and
// from the UTF-8 of CSV files.
#pragma once

#include "targets/text_codec.h"

class AnsiCodec final : public kivrel::TextCodec {
public:
    std::string AnsiToUtf8(const std::string& ansi) const override;
    bool Utf8ToAnsi(const std::string& utf8, std::string& ansi) const override;
};
