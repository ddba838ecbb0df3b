// Message boxes whose text and caption come from the string table.
#pragma once

#include <windows.h>

#include <string>

namespace win {

// Owned by the active window, so a box raised from a dialog stays above it;
// without one, by the main window.
int ShowMessageBox(UINT textId, UINT captionId, UINT flags);
// The same with a text made by the caller.
int ShowMessageText(const std::wstring& text, UINT captionId, UINT flags);

// The flags of the process's window station (WSF_VISIBLE when it is shown on
// a desk); false when they cannot be read.
bool QueryWindowStationFlags(unsigned long& flags);

} // namespace win
