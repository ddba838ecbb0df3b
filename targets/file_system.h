// The few file calls the data file needs whose behaviour differs between
// Windows and POSIX: unshared opens, flushing to the disk and a replace in one
// step. Paths are byte strings (the ANSI code page on Windows). Every call
// reports only success or failure; no error code is read.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kivrel {

enum OpenResult {
    OPEN_OK,
    OPEN_MISSING, // nothing of that name exists
    OPEN_REFUSED, // something exists but could not be opened (locked, no access)
};

enum ReadSharing {
    READ_ALONE,  // no other process may open the file meanwhile (on Windows)
    READ_SHARED, // others may read, write, rename or delete it meanwhile
};

class PlatformFile {
public:
    PlatformFile() = default;
    // Closes a file still open, without a report: used on the failure paths.
    ~PlatformFile();
    PlatformFile(const PlatformFile&) = delete;
    PlatformFile& operator=(const PlatformFile&) = delete;

    // An existing file, shared with other processes as sharing says; on
    // Windows one that another program holds is waited for about 2 seconds.
    OpenResult OpenForReading(const char* path, ReadSharing sharing = READ_ALONE);
    // Creates the file or empties an existing one; unshared like the above.
    bool CreateForWriting(const char* path);

    bool GetSize(std::uint64_t& size) const;
    // Reads until size bytes or the end of the file; got says how many came.
    bool Read(void* buffer, std::size_t size, std::size_t& got);
    bool Write(const void* data, std::size_t size);
    // Returns once the written bytes are on the disk, not only in a cache.
    bool FlushToDisk();
    // Reports an error that a deferred write may show only at closing.
    bool Close();

private:
    std::intptr_t m_handle = -1; // a descriptor, or a HANDLE on Windows
};

bool PathExists(const char* path);
// Puts from in the place of to in one step, replacing to if it exists, and
// returns once the new name is on the disk.
bool ReplaceFileAtomically(const char* from, const char* to);
// True when no file of that name remains, including when there was none.
bool RemoveFileIfPresent(const char* path);

} // namespace kivrel
