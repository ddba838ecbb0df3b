#include "targets/target_file.h"

#include "targets/file_system.h"

#include <cstring>
#include <limits>
#include <memory>
#include <exception>
#include <string>
#include <utility>

namespace kivrel {
namespace {

constexpr std::size_t kCountSize = 4;
constexpr std::size_t kLengthSize = 4;
constexpr std::size_t kMacSize = 6;
// A record with an empty name: no count can exceed what this many bytes hold.
constexpr std::size_t kMinRecordSize = kLengthSize + kMacSize;

std::uint32_t ReadLe32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

std::uint8_t* WriteLe32(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
    at[2] = static_cast<std::uint8_t>(value >> 16);
    at[3] = static_cast<std::uint8_t>(value >> 24);
    return at + 4;
}

// The records after the count. Every length is checked against the bytes
// that are left before anything is taken, so a hostile one fails without
// allocating for it.
bool Decode(const std::uint8_t* at, std::size_t left, std::uint32_t count, TargetList& list) {
    for (std::uint32_t i = 0; i < count; ++i) {
        if (left < kLengthSize) {
            return false;
        }
        const std::int32_t length = static_cast<std::int32_t>(ReadLe32(at));
        at += kLengthSize;
        left -= kLengthSize;
        if (length < 0 || static_cast<std::uint32_t>(length) > left ||
            left - static_cast<std::uint32_t>(length) < kMacSize) {
            return false;
        }
        // The name ends at its first zero byte; what follows it is dropped.
        const std::size_t bytes = static_cast<std::size_t>(length);
        const char* name = reinterpret_cast<const char*>(at);
        const void* zero = std::memchr(name, 0, bytes);
        TargetEntry entry;
        entry.name.assign(name, zero == nullptr ? bytes : static_cast<const char*>(zero) - name);
        at += bytes;
        std::memcpy(entry.mac.data(), at, kMacSize);
        at += kMacSize;
        left -= bytes + kMacSize;
        list.Append(std::move(entry));
    }
    return true;
}

TargetFileStatus ReadWhole(TargetList& list, const std::string& path, ReadSharing sharing) {
    PlatformFile file;
    const TargetFileStatus opened = OpenKeptFile(file, path, sharing);
    if (opened != FILE_LOADED) {
        return opened;
    }
    std::uint64_t size = 0;
    std::uint8_t header[kCountSize];
    std::size_t got = 0;
    if (!file.GetSize(size) || size > std::numeric_limits<std::size_t>::max() ||
        !file.Read(header, kCountSize, got) || got < kCountSize) {
        return FILE_DAMAGED;
    }
    // The count must fit the bytes that follow and a list in memory; it is
    // checked before the rest of the file is read, so a hostile one costs nothing.
    const std::uint32_t count = ReadLe32(header);
    const std::size_t rest = static_cast<std::size_t>(size) - kCountSize;
    TargetList read;
    if (count > rest / kMinRecordSize ||
        count > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()) ||
        !read.Reserve(static_cast<std::int32_t>(count))) {
        return FILE_DAMAGED;
    }
    const std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[rest]);
    if (!file.Read(data.get(), rest, got) || !Decode(data.get(), got, count, read)) {
        return FILE_DAMAGED;
    }
    list = std::move(read);
    return FILE_LOADED;
}

// No exception leaves: running out of memory, or a count no list can hold,
// is a file that cannot be read whole. The list is only ever assigned a
// complete result, so it is still empty then.
TargetFileStatus ReadContained(TargetList& list, const std::string& path, ReadSharing sharing) {
    try {
        return ReadWhole(list, path, sharing);
    } catch (const std::exception&) {
        return FILE_DAMAGED;
    }
}

bool Encode(const TargetList& list, std::unique_ptr<std::uint8_t[]>& data, std::size_t& size) {
    size = kCountSize;
    for (const TargetEntry& entry : list) {
        // The length field is signed 32-bit; a longer name cannot be stored.
        if (entry.name.size() >
            static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
            return false;
        }
        size += kMinRecordSize + entry.name.size();
    }
    data.reset(new std::uint8_t[size]);
    std::uint8_t* at = WriteLe32(data.get(), static_cast<std::uint32_t>(list.size()));
    for (const TargetEntry& entry : list) {
        at = WriteLe32(at, static_cast<std::uint32_t>(entry.name.size()));
        std::memcpy(at, entry.name.data(), entry.name.size());
        at += entry.name.size();
        std::memcpy(at, entry.mac.data(), kMacSize);
        at += kMacSize;
    }
    return true;
}

// The new contents go into a file of their own first, and become "<name>.new"
// only once they are completely on the disk: an older "<name>.new" may hold
// the newest list until then.
bool WriteBeside(const std::uint8_t* data, std::size_t size, const std::string& fresh) {
    const std::string part = fresh + ".tmp";
    PlatformFile file;
    if (!file.CreateForWriting(part.c_str())) {
        return false;
    }
    const bool written = file.Write(data, size) && file.FlushToDisk();
    if (!file.Close() || !written || !ReplaceFileAtomically(part.c_str(), fresh.c_str())) {
        RemoveFileIfPresent(part.c_str());
        return false;
    }
    return true;
}

constexpr int kSpareBackups = 9;

// A file the list does not show is kept, never destroyed: a damaged one as
// "<name>.bak", replacing an older backup (backups under that name are only
// ever damaged files), any other, or a damaged one whose backup cannot be
// replaced, under the first free spare name.
bool KeepAside(const std::string& path, TargetFileStatus status) {
    if (status == FILE_LOADED || status == FILE_MISSING || !PathExists(path.c_str())) {
        return true;
    }
    const std::string backup = path + ".bak";
    if (status == FILE_DAMAGED && ReplaceFileAtomically(path.c_str(), backup.c_str())) {
        return true;
    }
    for (int spare = 1; spare <= kSpareBackups; ++spare) {
        const std::string name = backup + std::to_string(spare);
        if (!PathExists(name.c_str()) && ReplaceFileAtomically(path.c_str(), name.c_str())) {
            return true;
        }
    }
    return false;
}

// An empty list leaves no file; its contents are what marks it as the newest
// when the file cannot be removed.
bool Save(const std::uint8_t* data, std::size_t size, bool empty, TargetFileStatus& status,
          const std::string& path) {
    const std::string fresh = path + ".new";
    if (empty) {
        if (KeepAside(path, status) && RemoveFileIfPresent(path.c_str())) {
            status = FILE_MISSING;
            // Else the list it held would come back at the next start.
            return RemoveFileIfPresent(fresh.c_str());
        }
        // The file stays; a whole empty list beside it is the newer one.
        WriteBeside(data, size, fresh);
        return false;
    }
    if (!WriteBeside(data, size, fresh) || !KeepAside(path, status) ||
        !ReplaceFileAtomically(fresh.c_str(), path.c_str())) {
        return false;
    }
    status = FILE_LOADED;
    return true;
}

} // namespace

TargetFileStatus OpenKeptFile(PlatformFile& file, const std::string& path, ReadSharing sharing) {
    switch (file.OpenForReading(path.c_str(), sharing)) {
    case OPEN_OK:
        return FILE_LOADED;
    case OPEN_MISSING:
        return FILE_MISSING;
    case OPEN_REFUSED:
        break;
    }
    return FILE_HELD;
}

TargetFileStatus ReadTargetFile(TargetList& list) {
    return ReadTargetFile(list, kTargetFileName);
}

TargetFileStatus ReadTargetFile(TargetList& list, const std::string& path, ReadSharing sharing) {
    list.Clear();
    TargetList placed;
    const TargetFileStatus status = ReadContained(placed, path, sharing);
    if (ReadContained(list, path + ".new", sharing) != FILE_LOADED && status == FILE_LOADED) {
        list = std::move(placed);
    }
    return status;
}

bool WriteTargetFile(const TargetList& list, TargetFileStatus& status) {
    return WriteTargetFile(list, status, kTargetFileName);
}

bool WriteTargetFile(const TargetList& list, TargetFileStatus& status, const std::string& path) {
    try {
        std::unique_ptr<std::uint8_t[]> data;
        std::size_t size = 0;
        if (!Encode(list, data, size)) {
            return false;
        }
        return Save(data.get(), size, list.empty(), status, path);
    } catch (const std::exception&) {
        // Every allocation comes before the new file is created.
        return false;
    }
}

bool SaveWholeFile(const std::string& contents, TargetFileStatus& status, const std::string& path) {
    try {
        return Save(reinterpret_cast<const std::uint8_t*>(contents.data()), contents.size(),
                    contents.empty(), status, path);
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace kivrel
