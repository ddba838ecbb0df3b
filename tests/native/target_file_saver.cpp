// Saves generated lists to "Kivrel.dat" in the current directory the way the
// program does (load once for the file's status, then save), for the tests
// that fill the disk or kill the process mid-save.
//
//   target_file_saver save COUNT SEED                 exit 0 when saved, 1 when not
//   target_file_saver loop COUNT SEED COUNT2 SEED2    saves the two lists in turn,
//                                                     printing a line after each, until killed
//   target_file_saver hold                            holds the file open, unshared,
//                                                     until a line comes on its input
#include "targets/file_system.h"
#include "targets/target_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

kivrel::TargetList Generate(long count, unsigned seed) {
    std::mt19937 random(seed);
    kivrel::TargetList list;
    for (long i = 0; i < count; ++i) {
        kivrel::TargetEntry entry;
        entry.name.resize(random() % 40);
        for (char& c : entry.name) {
            c = static_cast<char>(1 + random() % 255);
        }
        for (auto& b : entry.mac) {
            b = static_cast<std::uint8_t>(random());
        }
        list.Append(entry);
    }
    return list;
}

} // namespace

int main(int argc, char** argv) {
    using namespace kivrel;
    TargetList loaded;
    TargetFileStatus status = ReadTargetFile(loaded);
    if (argc == 4 && std::strcmp(argv[1], "save") == 0) {
        const TargetList list = Generate(std::atol(argv[2]), std::atoi(argv[3]));
        return WriteTargetFile(list, status) ? 0 : 1;
    }
    if (argc == 6 && std::strcmp(argv[1], "loop") == 0) {
        const TargetList lists[] = {Generate(std::atol(argv[2]), std::atoi(argv[3])),
                                    Generate(std::atol(argv[4]), std::atoi(argv[5]))};
        for (unsigned turn = 0;; ++turn) {
            std::printf("%d\n", WriteTargetFile(lists[turn % 2], status) ? 1 : 0);
            std::fflush(stdout);
        }
    }
    if (argc == 2 && std::strcmp(argv[1], "hold") == 0) {
        PlatformFile held;
        std::puts(held.OpenForReading(kTargetFileName) == OPEN_OK ? "held" : "not held");
        std::fflush(stdout);
        std::getchar();
        held.Close();
        std::puts("free");
        return 0;
    }
    std::fprintf(stderr, "usage: target_file_saver save COUNT SEED | loop COUNT SEED COUNT2 "
                         "SEED2 | hold\n");
    return 2;
}
