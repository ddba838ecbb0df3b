#include "targets/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace kivrel {
namespace {

int Descriptor(std::intptr_t handle) {
    return static_cast<int>(handle);
}

std::string DirectoryOf(const char* path) {
    const std::string name(path);
    const std::string::size_type slash = name.rfind('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : name.substr(0, slash));
}

// A rename is durable only once its directory is flushed too.
void FlushDirectory(const std::string& directory) {
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        // Best effort: the rename is done and cannot be taken back, and some
        // file systems refuse to flush a directory.
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

PlatformFile::~PlatformFile() {
    if (m_handle != -1) {
        ::close(Descriptor(m_handle));
    }
}

// POSIX opens never exclude other processes.
OpenResult PlatformFile::OpenForReading(const char* path, ReadSharing) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return PathExists(path) ? OPEN_REFUSED : OPEN_MISSING;
    }
    m_handle = fd;
    return OPEN_OK;
}

bool PlatformFile::CreateForWriting(const char* path) {
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    m_handle = fd;
    return true;
}

bool PlatformFile::GetSize(std::uint64_t& size) const {
    struct stat info;
    if (::fstat(Descriptor(m_handle), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    size = static_cast<std::uint64_t>(info.st_size);
    return true;
}

bool PlatformFile::Read(void* buffer, std::size_t size, std::size_t& got) {
    char* at = static_cast<char*>(buffer);
    got = 0;
    while (got < size) {
        const ssize_t n = ::read(Descriptor(m_handle), at + got, size - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    return true;
}

bool PlatformFile::Write(const void* data, std::size_t size) {
    const char* at = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(Descriptor(m_handle), at + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool PlatformFile::FlushToDisk() {
    return ::fsync(Descriptor(m_handle)) == 0;
}

bool PlatformFile::Close() {
    const int fd = Descriptor(m_handle);
    m_handle = -1;
    return ::close(fd) == 0;
}

bool PathExists(const char* path) {
    struct stat info;
    return ::lstat(path, &info) == 0;
}

bool ReplaceFileAtomically(const char* from, const char* to) {
    // Named first: nothing may fail between the rename and the flush.
    const std::string directory = DirectoryOf(to);
    if (::rename(from, to) != 0) {
        return false;
    }
    FlushDirectory(directory);
    return true;
}

bool RemoveFileIfPresent(const char* path) {
    return ::unlink(path) == 0 || !PathExists(path);
}

} // namespace kivrel
