#include "app/safe_dll_search.h"

#include <windows.h>

void UseSafeDllSearch() {
    // SetDefaultDllDirectories exists only from Windows 7 with its update onwards.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const DWORD searchSystem32 = 0x00000800; // LOAD_LIBRARY_SEARCH_SYSTEM32
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr) {
        setDefault(searchSystem32);
    }
    ::SetDllDirectoryW(L"");
}
