#include "win/whole_file.h"

#include <windows.h>

namespace win {
namespace {

// Closes the handle on every path out.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle() {
        if (IsOpen()) {
            ::CloseHandle(m_handle);
        }
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_handle; }
    bool Close() {
        const HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return ::CloseHandle(handle) != FALSE;
    }

private:
    HANDLE m_handle;
};

} // namespace

ReadWholeResult ReadWholeFile(const std::wstring& path, std::size_t limit, std::string& bytes) {
    // Shared, so that a file another program has open can still be read.
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (!file.IsOpen() || !::GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) {
        return ReadWholeResult::Failed;
    }
    if (static_cast<unsigned long long>(size.QuadPart) > limit) {
        return ReadWholeResult::TooBig;
    }
    // One byte more than the size: a file that grew meanwhile is refused as well.
    bytes.assign(static_cast<std::size_t>(size.QuadPart) + 1, '\0');
    std::size_t total = 0;
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.Get(), &bytes[total], static_cast<DWORD>(bytes.size() - total), &got,
                        nullptr)) {
            return ReadWholeResult::Failed;
        }
        if (got == 0) {
            break;
        }
        total += got;
        if (total == bytes.size()) {
            return ReadWholeResult::TooBig;
        }
    }
    bytes.resize(total);
    return ReadWholeResult::Read;
}

namespace {

// Asked after a failure: whether the old file is open in a program that lets
// no one else write it.
bool HeldByAnother(const std::wstring& path) {
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return !file.IsOpen() && (::GetLastError() == ERROR_SHARING_VIOLATION ||
                              ::GetLastError() == ERROR_LOCK_VIOLATION);
}

} // namespace

WriteWholeResult WriteWholeFile(const std::wstring& path, const std::string& bytes) {
    const std::wstring fresh = path + L".tmp";
    FileHandle file(::CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) {
        return HeldByAnother(path) ? WriteWholeResult::InUse : WriteWholeResult::Failed;
    }
    DWORD written = 0;
    const bool whole = ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                   &written, nullptr) &&
                       written == bytes.size() && ::FlushFileBuffers(file.Get());
    if (!file.Close() || !whole ||
        !::MoveFileExW(fresh.c_str(), path.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(fresh.c_str());
        return HeldByAnother(path) ? WriteWholeResult::InUse : WriteWholeResult::Failed;
    }
    return WriteWholeResult::Written;
}

std::wstring CurrentFolder() {
    std::wstring folder(::GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(folder.empty() ? 0 : ::GetCurrentDirectoryW(folder.size(), &folder[0]));
    return folder;
}

} // namespace win
