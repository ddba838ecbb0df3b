// Data strings are bytes in the ANSI code page; controls are wide. These are
// the only conversions, made at the control and file boundaries.
#pragma once

#include <string>

namespace win {

std::wstring AnsiToWide(const std::string& ansi);
std::string WideToAnsi(const std::wstring& wide);
// False when the code page has no character for some of the text, rather
// than a best fit or a question mark in its place.
bool WideToAnsiExactly(const std::wstring& wide, std::string& ansi);
// For files exchanged with other programs; invalid UTF-8 becomes U+FFFD.
std::wstring Utf8ToWide(const std::string& utf8);
std::string WideToUtf8(const std::wstring& wide);

} // namespace win
