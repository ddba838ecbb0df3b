#include "win/ansi_text.h"

#include <windows.h>

namespace win {
namespace {

std::wstring ToWide(UINT codePage, const std::string& bytes) {
    if (bytes.empty()) {
        return std::wstring();
    }
    const int size = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), size, &wide[0], length);
    return wide;
}

std::string FromWide(UINT codePage, const std::wstring& wide) {
    if (wide.empty()) {
        return std::string();
    }
    const int size = static_cast<int>(wide.size());
    const int length =
        ::WideCharToMultiByte(codePage, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(codePage, 0, wide.data(), size, &bytes[0], length, nullptr, nullptr);
    return bytes;
}

} // namespace

std::wstring AnsiToWide(const std::string& ansi) {
    return ToWide(CP_ACP, ansi);
}

std::string WideToAnsi(const std::wstring& wide) {
    return FromWide(CP_ACP, wide);
}

std::wstring Utf8ToWide(const std::string& utf8) {
    return ToWide(CP_UTF8, utf8);
}

std::string WideToUtf8(const std::wstring& wide) {
    return FromWide(CP_UTF8, wide);
}

} // namespace win
