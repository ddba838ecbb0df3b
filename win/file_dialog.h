// The system's open and save dialogs for one file.
#pragma once

#include <windows.h>

#include <string>

namespace win {

struct FileDialogTexts {
    std::wstring title;
    // Pairs of a description and a pattern, each ended by '|'.
    std::wstring filter;
    // The save dialog's first file name and the extension it adds.
    std::wstring defaultName;
    std::wstring defaultExtension;
};

// True with the chosen path, false on Cancel. The working folder is put back
// afterwards, since the dialogs may change it.
bool ChooseFileToOpen(HWND owner, const FileDialogTexts& texts, std::wstring& path);
// Asks before replacing an existing file.
bool ChooseFileToSave(HWND owner, const FileDialogTexts& texts, std::wstring& path);

} // namespace win
