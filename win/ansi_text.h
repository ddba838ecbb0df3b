// Data strings are bytes in the ANSI code page; controls are wide. These are
// the only conversions, made at the control boundary.
#pragma once

#include <string>

namespace win {

std::wstring AnsiToWide(const std::string& ansi);
std::string WideToAnsi(const std::wstring& wide);
// For texts kept as UTF-8, which no code page can spoil.
std::wstring Utf8ToWide(const std::string& utf8);
std::string WideToUtf8(const std::wstring& wide);

} // namespace win
