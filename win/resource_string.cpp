#include "win/resource_string.h"

namespace win {

std::wstring ResourceString(UINT id) {
    // With a zero buffer size LoadStringW hands out a pointer into the resource.
    const wchar_t* text = nullptr;
    const int length =
        ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

std::wstring ResourceStringPart(UINT id, int part) {
    const std::wstring text = ResourceString(id);
    const std::size_t newline = text.find(L'\n');
    if (part == 0) {
        return text.substr(0, newline);
    }
    return newline == std::wstring::npos ? std::wstring() : text.substr(newline + 1);
}

} // namespace win
