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
    // Each folder's name below the temporary one ends at a separator or the end.
    for (std::size_t end = temp.size() + 1; end <= exeFolder.size(); ++end) {
        if ((end == exeFolder.size() || IsSeparator(exeFolder[end])) && end >= 4 &&
            SameName(exeFolder, end - 4, L".zip")) {
            return true;
        }
    }
    return false;
}

} // namespace kivrel
