// Texts from the string table, always through the wide API so that they read
// correctly whatever the system's ANSI code page is.
#pragma once

#include <windows.h>

#include <string>

namespace win {

std::wstring ResourceString(UINT id);

// A command's string holds "prompt\ntooltip"; part 0 or 1 of it.
std::wstring ResourceStringPart(UINT id, int part);

} // namespace win
