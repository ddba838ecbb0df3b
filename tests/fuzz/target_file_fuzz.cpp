// Writes arbitrary bytes as the data file and checks what ReadTargetFile makes
// of them against a plain reading of the format: the whole list or nothing,
// and no memory asked for beyond what the file's size accounts for.
#include "targets/target_file.h"
#include "tests/native/allocation_probe.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using kivrel::TargetEntry;
using kivrel::TargetList;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::string g_dir;
std::string g_path;

void RemoveScratch() {
    std::remove(g_path.c_str());
    rmdir(g_dir.c_str());
}

std::uint32_t Le32(const std::uint8_t* at) {
    return at[0] | at[1] << 8 | at[2] << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

// Count, then per entry a signed length, that many name bytes (the name ends
// at a zero byte among them) and six MAC bytes; bytes after the last entry do
// not matter. Anything that does not fit is a damaged file.
bool Model(const std::uint8_t* data, std::size_t size, TargetList& list) {
    if (size < 4) {
        return false;
    }
    const std::uint32_t count = Le32(data);
    std::size_t at = 4;
    for (std::uint64_t i = 0; i < count; ++i) {
        if (size - at < 4) {
            return false;
        }
        const std::int64_t length = static_cast<std::int32_t>(Le32(data + at));
        at += 4;
        if (length < 0 || static_cast<std::uint64_t>(length) + 6 > size - at) {
            return false;
        }
        TargetEntry entry;
        for (std::int64_t k = 0; k < length && data[at + k] != 0; ++k) {
            entry.name.push_back(static_cast<char>(data[at + k]));
        }
        at += static_cast<std::size_t>(length);
        for (std::size_t k = 0; k < 6; ++k) {
            entry.mac[k] = data[at + k];
        }
        at += 6;
        list.Append(entry);
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char dir[] = "/tmp/kivrel-fuzz-XXXXXX";
    Check(mkdtemp(dir) != nullptr);
    g_dir = dir;
    g_path = g_dir + "/Kivrel.dat";
    std::atexit(RemoveScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(g_path.c_str(), "wb");
    Check(file != nullptr);
    Check(std::fwrite(data, 1, size, file) == size);
    Check(std::fclose(file) == 0);

    TargetList expected;
    const bool whole = Model(data, size, expected);

    // Something already in the list must go whatever the file holds.
    TargetList list;
    list.Append(TargetEntry{"stale", {}});
    kivrel::StartWatchingAllocations();
    const kivrel::TargetFileStatus status = kivrel::ReadTargetFile(list, g_path);
    const kivrel::AllocationTally tally = kivrel::StopWatchingAllocations();

    Check(status == (whole ? kivrel::FILE_LOADED : kivrel::FILE_DAMAGED));
    Check(whole ? list == expected : list.empty());
    // Memory follows the bytes the file really has, never a count or length
    // it claims: one copy of the file, room for as many entries as it could
    // hold at ten bytes the smallest each, and the names (a string may take
    // up to twice its length as it grows); and the name of "<name>.new",
    // always looked for, up to twice its length too.
    const std::size_t entries = size / 10 * sizeof(TargetEntry);
    const std::size_t newName = 2 * (g_path.size() + sizeof(".new"));
    Check(tally.largest <= std::max({size, entries, newName}));
    Check(tally.total <= size + entries + 2 * size + newName + 64);
    return 0;
}
