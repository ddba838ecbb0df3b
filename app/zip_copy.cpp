#include "app/zip_copy.h"

namespace kivrel {
namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

wchar_t LowerAscii(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Windows' own names compare without case; the ASCII letters are enough here.
bool SameName(const std::wstring& a, std::size_t at, const std::wstring& b) {
    if (a.size() < at + b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < b.size(); ++i) {
        const wchar_t x = LowerAscii(a[at + i]);
        const wchar_t y = LowerAscii(b[i]);
        if (x != y && !(IsSeparator(x) && IsSeparator(y))) {
            return false;
        }
    }
    return true;
}

} // namespace

bool IsZipCopyFolder(const std::wstring& exeFolder, const std::wstring& tempFolder) {
    std::wstring temp = tempFolder;
    while (!temp.empty() && IsSeparator(temp.back())) {
        temp.pop_back();
    }
    if (temp.empty() || !SameName(exeFolder, 0, temp) || exeFolder.size() <= temp.size() ||
        !IsSeparator(exeFolder[temp.size()])) {
        return false;
    }
    // The archivers' own folders: 7-Zip's "7zO1A2B3C4D" (opened) and "7zE..."
    // (dragged out), WinRAR's "Rar$EXa1234.5678" and "Rar$DIa...".
    const wchar_t* const kPrefixes[] = {L"7zO", L"7zE", L"Rar$EX", L"Rar$DI"};
    // Each folder's name below the temporary one runs from after a separator
    // to the next separator or the end.
    std::size_t start = temp.size() + 1;
    for (std::size_t end = start; end <= exeFolder.size(); ++end) {
        if (end < exeFolder.size() && !IsSeparator(exeFolder[end])) {
            continue;
        }
        if (end - start >= 4 && SameName(exeFolder, end - 4, L".zip")) {
            return true;
        }
        for (const wchar_t* prefix : kPrefixes) {
            const std::wstring name = prefix;
            if (end - start > name.size() && SameName(exeFolder, start, name)) {
                return true;
            }
        }
        start = end + 1;
    }
    return false;
}

} // namespace kivrel
