// A DLL of Windows' own, from the system folder and nowhere else.
#pragma once

#include <windows.h>

namespace win {

// Loads the system folder's name by its full path, and what it needs from
// beside it rather than from the program's folder; nullptr when it is not
// there. Once loaded, later loads by name alone get this one.
HMODULE LoadSystemDll(const wchar_t* name);

} // namespace win
