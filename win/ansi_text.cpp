#include "win/ansi_text.h"

#include <windows.h>

namespace win {

namespace {

std::wstring ToWide(UINT codePage, const std::string& text) {
    if (text.empty()) {
        return std::wstring();
    }
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), size, &wide[0], length);
    return wide;
}

// usedDefault, where given, tells whether a character had no counterpart;
// CP_UTF8 takes neither it nor the no-best-fit flag.
std::string FromWide(UINT codePage, DWORD flags, const std::wstring& wide, BOOL* usedDefault) {
    if (wide.empty()) {
        return std::string();
    }
    const int size = static_cast<int>(wide.size());
    const int length =
        ::WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, usedDefault);
    std::string text(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(codePage, flags, wide.data(), size, &text[0], length, nullptr, nullptr);
    return text;
}

} // namespace

std::wstring AnsiToWide(const std::string& ansi) {
    return ToWide(CP_ACP, ansi);
}

std::string WideToAnsi(const std::wstring& wide) {
    return FromWide(CP_ACP, 0, wide, nullptr);
}

bool WideToAnsiExactly(const std::wstring& wide, std::string& ansi) {
    // A system whose ANSI code page is UTF-8 holds every character.
    if (::GetACP() == CP_UTF8) {
        ansi = WideToUtf8(wide);
        return true;
    }
    BOOL usedDefault = FALSE;
    ansi = FromWide(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, &usedDefault);
    return usedDefault == FALSE;
}

std::wstring Utf8ToWide(const std::string& utf8) {
    return ToWide(CP_UTF8, utf8);
}

std::string WideToUtf8(const std::wstring& wide) {
    return FromWide(CP_UTF8, 0, wide, nullptr);
}

} // namespace win
