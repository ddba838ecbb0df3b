#include "app/safe_dll_search.h"

#include "win/system_dll.h"

#include <windows.h>

#include <initializer_list>

void UseSafeDllSearch() {
    // SetDefaultDllDirectories exists only from Windows 7 with its update onwards.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const DWORD searchSystem32 = 0x00000800; // LOAD_LIBRARY_SEARCH_SYSTEM32
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr) {
        setDefault(searchSystem32);
    } else {
        // Without it the lazily imported DLLs that are not among Windows'
        // known ones would be looked for beside the exe first: they are
        // loaded now, from the system folder, and their first use finds
        // them loaded. The window DLLs need not be: USER32 and GDI32 are
        // known DLLs, and the manifest names the COMCTL32 to use.
        for (const wchar_t* name : {L"wsock32.dll", L"iphlpapi.dll"}) {
            win::LoadSystemDll(name);
        }
    }
    ::SetDllDirectoryW(L"");
}
