#include "targets/target_file.h"

#include "targets/file_system.h"

#include <cstring>
#include <limits>
#include <memory>
#include <new>
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

// Every length is checked against the bytes that are left before anything is
// taken, so a hostile count or length fails without allocating for it.
bool Decode(const std::uint8_t* data, std::size_t size, TargetList& list) {
    if (size < kCountSize) {
        return false;
    }
    const std::uint32_t count = ReadLe32(data);
    std::size_t left = size - kCountSize;
    if (count > left / kMinRecordSize ||
        count > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())) {
        return false;
    }
    // Bounded by the file's size, as the count was checked against it.
    list.Reserve(static_cast<std::int32_t>(count));
    const std::uint8_t* at = data + kCountSize;
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

TargetFileStatus ReadWhole(TargetList& list, const std::string& path) {
    PlatformFile file;
    switch (file.OpenForReading(path.c_str())) {
    case OPEN_OK:
        break;
    case OPEN_MISSING:
        return FILE_MISSING;
    case OPEN_REFUSED:
        return FILE_DAMAGED;
    }
    std::uint64_t size = 0;
    if (!file.GetSize(size) || size > std::numeric_limits<std::size_t>::max()) {
        return FILE_DAMAGED;
    }
    const std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[static_cast<std::size_t>(size)]);
    std::size_t got = 0;
    if (!file.Read(data.get(), static_cast<std::size_t>(size), got)) {
        return FILE_DAMAGED;
    }
    TargetList read;
    if (!Decode(data.get(), got, read)) {
        return FILE_DAMAGED;
    }
    list = std::move(read);
    return FILE_LOADED;
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

// The new contents go into a file of their own first: the old file is not
// touched until they are completely on the disk.
bool WriteBeside(const TargetList& list, const std::string& fresh) {
    std::unique_ptr<std::uint8_t[]> data;
    std::size_t size = 0;
    if (!Encode(list, data, size)) {
        return false;
    }
    PlatformFile file;
    if (!file.CreateForWriting(fresh.c_str())) {
        return false;
    }
    const bool written = file.Write(data.get(), size) && file.FlushToDisk();
    if (!file.Close() || !written) {
        RemoveFileIfPresent(fresh.c_str());
        return false;
    }
    return true;
}

// A file the list does not show is kept, never destroyed.
bool MoveDamagedAside(const std::string& path, const std::string& backup,
                      TargetFileStatus& status) {
    if (status != FILE_DAMAGED) {
        return true;
    }
    if (!ReplaceFileAtomically(path.c_str(), backup.c_str()) && PathExists(path.c_str())) {
        return false;
    }
    status = FILE_MISSING;
    return true;
}

bool Save(const TargetList& list, TargetFileStatus& status, const std::string& path) {
    const std::string fresh = path + ".new";
    const std::string backup = path + ".bak";
    if (list.empty()) {
        if (status == FILE_DAMAGED) {
            return MoveDamagedAside(path, backup, status);
        }
        if (!RemoveFileIfPresent(path.c_str())) {
            return false;
        }
        status = FILE_MISSING;
        return true;
    }
    if (!WriteBeside(list, fresh)) {
        return false;
    }
    if (!MoveDamagedAside(path, backup, status) ||
        !ReplaceFileAtomically(fresh.c_str(), path.c_str())) {
        RemoveFileIfPresent(fresh.c_str());
        return false;
    }
    status = FILE_LOADED;
    return true;
}

} // namespace

TargetFileStatus ReadTargetFile(TargetList& list) {
    return ReadTargetFile(list, kTargetFileName);
}

TargetFileStatus ReadTargetFile(TargetList& list, const std::string& path) {
    list.Clear();
    try {
        return ReadWhole(list, path);
    } catch (const std::bad_alloc&) {
        // The list is only ever assigned a complete result, so it is still empty.
        return FILE_DAMAGED;
    }
}

bool WriteTargetFile(const TargetList& list, TargetFileStatus& status) {
    return WriteTargetFile(list, status, kTargetFileName);
}

bool WriteTargetFile(const TargetList& list, TargetFileStatus& status, const std::string& path) {
    try {
        return Save(list, status, path);
    } catch (const std::bad_alloc&) {
        // Every allocation comes before the new file is created.
        return false;
    }
}

} // namespace kivrel
