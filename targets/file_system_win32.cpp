#include "targets/file_system.h"

#include <windows.h>

namespace kivrel {
namespace {

HANDLE Handle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// ReadFile and WriteFile take 32-bit counts; a larger request goes in pieces.
constexpr std::size_t kMaxPiece = 0x40000000;

DWORD Piece(std::size_t left) {
    return static_cast<DWORD>(left < kMaxPiece ? left : kMaxPiece);
}

// A virus scanner, an indexer or a sync tool may hold the file a moment; a
// file still held after this long is left to its holder.
constexpr DWORD kHeldWaitMs = 2000;
constexpr DWORD kHeldRetryMs = 100;

HANDLE OpenWaiting(const char* path, DWORD share) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        const HANDLE file =
            ::CreateFileA(path, GENERIC_READ, share, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_SHARING_VIOLATION ||
            ::GetTickCount() - start >= kHeldWaitMs) {
            return file;
        }
        ::Sleep(kHeldRetryMs);
    }
}

} // namespace

PlatformFile::~PlatformFile() {
    if (m_handle != -1) {
        ::CloseHandle(Handle(m_handle));
    }
}

OpenResult PlatformFile::OpenForReading(const char* path, ReadSharing sharing) {
    const HANDLE file = OpenWaiting(
        path, sharing == READ_SHARED ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE : 0);
    if (file == INVALID_HANDLE_VALUE) {
        return PathExists(path) ? OPEN_REFUSED : OPEN_MISSING;
    }
    m_handle = reinterpret_cast<std::intptr_t>(file);
    return OPEN_OK;
}

bool PlatformFile::CreateForWriting(const char* path) {
    const HANDLE file = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    m_handle = reinterpret_cast<std::intptr_t>(file);
    return true;
}

bool PlatformFile::GetSize(std::uint64_t& size) const {
    LARGE_INTEGER length;
    if (!::GetFileSizeEx(Handle(m_handle), &length) || length.QuadPart < 0) {
        return false;
    }
    size = static_cast<std::uint64_t>(length.QuadPart);
    return true;
}

bool PlatformFile::Read(void* buffer, std::size_t size, std::size_t& got) {
    char* at = static_cast<char*>(buffer);
    got = 0;
    while (got < size) {
        DWORD n = 0;
        if (!::ReadFile(Handle(m_handle), at + got, Piece(size - got), &n, nullptr)) {
            return false;
        }
        if (n == 0) {
            break;
        }
        got += n;
    }
    return true;
}

bool PlatformFile::Write(const void* data, std::size_t size) {
    const char* at = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
        DWORD n = 0;
        if (!::WriteFile(Handle(m_handle), at + done, Piece(size - done), &n, nullptr) || n == 0) {
            return false;
        }
        done += n;
    }
    return true;
}

bool PlatformFile::FlushToDisk() {
    return ::FlushFileBuffers(Handle(m_handle)) != FALSE;
}

bool PlatformFile::Close() {
    const HANDLE file = Handle(m_handle);
    m_handle = -1;
    return ::CloseHandle(file) != FALSE;
}

bool PathExists(const char* path) {
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool ReplaceFileAtomically(const char* from, const char* to) {
    return ::MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

// Asked afterwards rather than trusted: Wine reports success for a deletion
// that a read-only file system refused.
bool RemoveFileIfPresent(const char* path) {
    ::DeleteFileA(path);
    return !PathExists(path);
}

} // namespace kivrel
