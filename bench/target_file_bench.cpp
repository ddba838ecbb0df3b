// Times saving and loading a list of 100,000 targets against the floor: the
// same bytes written (and flushed, as a save does) or read as one block.
// Copying the list in memory is shown too: a load cannot build it for less.
//
//   target_file_bench [DIRECTORY] [RUNS]
//
// Works in a fresh directory made inside DIRECTORY (default: the current one)
// and removes it afterwards. Reads come from the page cache.
#include "bench/median.h"
#include "targets/file_system.h"
#include "targets/target_file.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using kivrel::PlatformFile;

constexpr int kEntries = 100000;

kivrel::TargetList MakeList() {
    // ASCII and code page 932 pieces, as real names would have.
    const char* pieces[] = {"PC", "-", "\x93\x8C\x8B\x9E", "\x83\x65\x83\x58\x83\x67", "0"};
    std::mt19937 random(100000);
    kivrel::TargetList list;
    for (int i = 0; i < kEntries; ++i) {
        kivrel::TargetEntry entry;
        const int parts = static_cast<int>(random() % 8);
        for (int p = 0; p < parts; ++p) {
            entry.name += pieces[random() % 5];
        }
        for (auto& b : entry.mac) {
            b = static_cast<std::uint8_t>(random());
        }
        list.Append(entry);
    }
    return list;
}

double Milliseconds(const std::function<bool()>& step) {
    const auto start = std::chrono::steady_clock::now();
    if (!step()) {
        std::fprintf(stderr, "target_file_bench: a step failed\n");
        std::exit(1);
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

bool WriteBlock(const std::string& path, const std::string& bytes, bool flush) {
    PlatformFile file;
    return file.CreateForWriting(path.c_str()) && file.Write(bytes.data(), bytes.size()) &&
           (!flush || file.FlushToDisk()) && file.Close();
}

bool ReadBlock(const std::string& path, std::string& bytes) {
    PlatformFile file;
    std::uint64_t size = 0;
    std::size_t got = 0;
    if (file.OpenForReading(path.c_str()) != kivrel::OPEN_OK || !file.GetSize(size)) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size));
    return file.Read(&bytes[0], bytes.size(), got) && got == bytes.size();
}

void Report(const char* what, double ours, double floor) {
    std::printf("%-6s list %8.2f ms   one block %8.2f ms   ratio %5.2f\n", what, ours, floor,
                ours / floor);
}

} // namespace

int main(int argc, char** argv) {
    std::string where =
        (argc > 1 ? std::string(argv[1]) : std::string(".")) + "/kivrel-bench-XXXXXX";
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 21;
    if (::mkdtemp(&where[0]) == nullptr) {
        std::fprintf(stderr, "target_file_bench: cannot make a directory in %s\n", where.c_str());
        return 1;
    }
    const std::string data = where + "/Kivrel.dat";
    const std::string block = where + "/block.dat";

    const kivrel::TargetList list = MakeList();
    kivrel::TargetFileStatus status = kivrel::FILE_MISSING;
    std::string bytes;
    if (!kivrel::WriteTargetFile(list, status, data) || !ReadBlock(data, bytes)) {
        std::fprintf(stderr, "target_file_bench: the first save failed\n");
        return 1;
    }

    std::vector<double> save, saveFloor, unflushed, load, loadFloor, copy;
    kivrel::TargetList loaded;
    std::string again;
    for (int run = 0; run < runs; ++run) {
        save.push_back(Milliseconds([&] { return kivrel::WriteTargetFile(list, status, data); }));
        saveFloor.push_back(Milliseconds([&] { return WriteBlock(block, bytes, true); }));
        unflushed.push_back(Milliseconds([&] { return WriteBlock(block, bytes, false); }));
        load.push_back(Milliseconds(
            [&] { return kivrel::ReadTargetFile(loaded, data) == kivrel::FILE_LOADED; }));
        loadFloor.push_back(Milliseconds([&] { return ReadBlock(block, again); }));
        copy.push_back(Milliseconds([&] {
            kivrel::TargetList copied = list;
            return copied.size() == list.size();
        }));
    }
    const bool same = loaded == list && again == bytes;

    std::printf("%d entries, %zu bytes, median of %d runs in %s\n", list.size(), bytes.size(), runs,
                where.c_str());
    Report("save", Median(save), Median(saveFloor));
    Report("load", Median(load), Median(loadFloor));
    std::printf("(one block without flushing to the disk: %.2f ms; copying the list in memory,\n"
                " the least any load must do after reading: %.2f ms)\n",
                Median(unflushed), Median(copy));

    kivrel::RemoveFileIfPresent(data.c_str());
    kivrel::RemoveFileIfPresent(block.c_str());
    ::rmdir(where.c_str());
    if (!same) {
        std::fprintf(stderr, "target_file_bench: the list did not come back the same\n");
        return 1;
    }
    return 0;
}
