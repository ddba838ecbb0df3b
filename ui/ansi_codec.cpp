#include "ui/ansi_codec.h"

#include "win/ansi_text.h"

std::string AnsiCodec::AnsiToUtf8(const std::string& ansi) const {
    return win::WideToUtf8(win::AnsiToWide(ansi));
}

bool AnsiCodec::Utf8ToAnsi(const std::string& utf8, std::string& ansi) const {
    return win::WideToAnsiExactly(win::Utf8ToWide(utf8), ansi);
}
