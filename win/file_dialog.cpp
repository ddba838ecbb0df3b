#include "win/file_dialog.h"

#include <commdlg.h>

#include <vector>

namespace win {
namespace {

bool Choose(HWND owner, const FileDialogTexts& texts, DWORD flags, bool save, std::wstring& path) {
    std::wstring filter = texts.filter;
    for (wchar_t& c : filter) {
        c = c == L'|' ? L'\0' : c;
    }
    std::vector<wchar_t> file(MAX_PATH * 4, L'\0');
    texts.defaultName.copy(file.data(), file.size() - 1);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = texts.title.c_str();
    dialog.lpstrDefExt = texts.defaultExtension.empty() ? nullptr : texts.defaultExtension.c_str();
    dialog.Flags = flags | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    // The program's data file is relative to the working folder, which the
    // open dialog may change in spite of OFN_NOCHANGEDIR.
    const DWORD length = ::GetCurrentDirectoryW(0, nullptr);
    std::vector<wchar_t> folder(length + 1, L'\0');
    const bool known = length != 0 && ::GetCurrentDirectoryW(length, folder.data()) != 0;
    const BOOL chosen = save ? ::GetSaveFileNameW(&dialog) : ::GetOpenFileNameW(&dialog);
    if (known) {
        ::SetCurrentDirectoryW(folder.data());
    }
    if (!chosen) {
        return false;
    }
    path = file.data();
    return true;
}

} // namespace

bool ChooseFileToOpen(HWND owner, const FileDialogTexts& texts, std::wstring& path) {
    return Choose(owner, texts, OFN_FILEMUSTEXIST, false, path);
}

bool ChooseFileToSave(HWND owner, const FileDialogTexts& texts, std::wstring& path) {
    return Choose(owner, texts, OFN_OVERWRITEPROMPT, true, path);
}

} // namespace win
