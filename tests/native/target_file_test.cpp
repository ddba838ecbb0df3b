#include "targets/address_file.h"
#include "targets/target_file.h"

#include <gtest/gtest.h>

#include "tests/native/allocation_probe.h"
#include "tests/native/scratch_folder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace kivrel {
namespace {

namespace fs = std::filesystem;

const MacBytes kMac = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};

std::string Le32(std::uint32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) {
        bytes += static_cast<char>(value >> (8 * i));
    }
    return bytes;
}

std::string Record(const std::string& name, const MacBytes& mac) {
    return Le32(static_cast<std::uint32_t>(name.size())) + name +
           std::string(mac.begin(), mac.end());
}

TargetList ListOf(std::initializer_list<TargetEntry> entries) {
    TargetList list;
    for (const TargetEntry& entry : entries) {
        list.Append(entry);
    }
    return list;
}

// Three records, one with an empty name and one in code page 932 ("東京").
const TargetList kThree = ListOf({{"PC-01", {1, 2, 3, 4, 5, 6}},
                                  {"", {0xFF, 0xFE, 0xFD, 0xFC, 0xFB, 0xFA}},
                                  {"\x93\x8C\x8B\x9E", {0, 0, 0, 0, 0, 0}}});
const std::string kThreeBytes = Le32(3) + Record("PC-01", {1, 2, 3, 4, 5, 6}) +
                                Record("", {0xFF, 0xFE, 0xFD, 0xFC, 0xFB, 0xFA}) +
                                Record("\x93\x8C\x8B\x9E", {0, 0, 0, 0, 0, 0});

// Each test runs in a fresh directory of its own, the data file's home.
class TargetFile : public ::testing::Test {
protected:
    static void Put(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }

    static std::string Get(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    static bool Exists(const std::string& path) { return fs::exists(path); }

    // Reads into a list that already holds an entry, to see it emptied.
    static TargetFileStatus ReadInto(TargetList& list) {
        list = ListOf({{"stale", kMac}});
        return ReadTargetFile(list);
    }

private:
    test::ScratchFolder m_folder{"kivrel-target-file-"};
};

TEST_F(TargetFile, WritesTheWorkedExampleAndReadsItBack) {
    TargetFileStatus status = FILE_MISSING;
    ASSERT_TRUE(WriteTargetFile(ListOf({{"AB", kMac}}), status));
    EXPECT_EQ(status, FILE_LOADED);
    EXPECT_EQ(Get("Kivrel.dat"), std::string("\x01\0\0\0\x02\0\0\0AB\x00\x11\x22\x33\x44\x55", 16));
    EXPECT_FALSE(Exists("Kivrel.dat.new"));

    TargetList list;
    EXPECT_EQ(ReadInto(list), FILE_LOADED);
    EXPECT_EQ(list, ListOf({{"AB", kMac}}));

    // An empty name, and a name in code page 932 stored with its byte length.
    ASSERT_TRUE(WriteTargetFile(kThree, status));
    EXPECT_EQ(Get("Kivrel.dat"), kThreeBytes);
}

TEST_F(TargetFile, RandomListsComeBackExactly) {
    // Plain ASCII, code page 932 pairs ("東京", "テスト") and any non-zero byte.
    const std::string pieces[] = {"PC", "\x93\x8C\x8B\x9E", "\x83\x65\x83\x58\x83\x67", "-"};
    std::mt19937 random(4242);
    TargetFileStatus status = FILE_MISSING;
    for (int round = 0; round < 120; ++round) {
        TargetList list;
        std::size_t nameBytes = 0;
        const int count = static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) {
            TargetEntry entry;
            if (i > 0 && random() % 5 == 0) {
                entry = list.at(static_cast<std::int32_t>(random() % i)); // a duplicate
            } else {
                const int parts = static_cast<int>(random() % 6);
                for (int p = 0; p < parts; ++p) {
                    entry.name += random() % 2 == 0 ? pieces[random() % 4]
                                                    : std::string(1, char(1 + random() % 255));
                }
                for (auto& b : entry.mac) {
                    b = static_cast<std::uint8_t>(random());
                }
            }
            nameBytes += entry.name.size();
            list.Append(entry);
        }
        ASSERT_TRUE(WriteTargetFile(list, status));
        if (list.empty()) {
            EXPECT_FALSE(Exists("Kivrel.dat"));
        } else {
            // Lengths count bytes, not characters.
            EXPECT_EQ(fs::file_size("Kivrel.dat"), 4 + 10 * list.size() + nameBytes);
        }
        TargetList back;
        EXPECT_EQ(ReadInto(back), list.empty() ? FILE_MISSING : FILE_LOADED);
        ASSERT_EQ(back, list) << "round " << round;
    }
}

TEST_F(TargetFile, AnyCutOfAValidFileGivesNoEntries) {
    for (std::size_t length = 0; length < kThreeBytes.size(); ++length) {
        Put("Kivrel.dat", kThreeBytes.substr(0, length));
        TargetList list;
        EXPECT_EQ(ReadInto(list), FILE_DAMAGED) << length;
        EXPECT_TRUE(list.empty()) << length;
    }
    Put("Kivrel.dat", kThreeBytes);
    TargetList list;
    EXPECT_EQ(ReadInto(list), FILE_LOADED);
    EXPECT_EQ(list, kThree);
}

TEST_F(TargetFile, BadCountsAndLengthsGiveNoEntries) {
    const std::string one = Record("PC", kMac);
    const std::string files[] = {
        Le32(0x80000001) + one,                  // the top bit: a count far beyond the file
        Le32(0xFFFFFFFF) + one + one,            //
        Le32(3) + one + one,                     // one record short
        Le32(2) + one + Le32(0xFFFFFFFF) + "PC", // a negative length
        Le32(1) + Le32(0x80000000) + "PC" + std::string(kMac.begin(), kMac.end()),
        Le32(1) + Le32(3) + "PC" + std::string(kMac.begin(), kMac.end()), // MAC one byte short
    };
    for (const std::string& bytes : files) {
        Put("Kivrel.dat", bytes);
        TargetList list;
        EXPECT_EQ(ReadInto(list), FILE_DAMAGED);
        EXPECT_TRUE(list.empty());
    }
}

TEST_F(TargetFile, AHugeLengthFailsWithoutBeingAllocated) {
    const std::string hostile[] = {
        Le32(1) + Le32(0x7FFFFFFF) + "PC" + std::string(kMac.begin(), kMac.end()),
        Le32(2) + Record("PC", kMac) + Le32(0x7FFFFFF0) + std::string(64, 'x'),
        Le32(0x7FFFFFFF) + Record("PC", kMac),
    };
    for (const std::string& bytes : hostile) {
        Put("Kivrel.dat", bytes);
        TargetList list;
        StartWatchingAllocations();
        const TargetFileStatus status = ReadInto(list);
        EXPECT_LT(StopWatchingAllocations().largest, 4096u);
        EXPECT_EQ(status, FILE_DAMAGED);
        EXPECT_TRUE(list.empty());
    }
}

TEST_F(TargetFile, ANameEndsAtAZeroByteAndExtraBytesAreDropped) {
    Put("Kivrel.dat", Le32(2) + Record(std::string("A\0B", 3), kMac) + Record("C", kMac) + "junk");
    TargetList list;
    ASSERT_EQ(ReadInto(list), FILE_LOADED);
    EXPECT_EQ(list, ListOf({{"A", kMac}, {"C", kMac}}));

    // The file read whole is replaced as it is, without a backup.
    TargetFileStatus status = FILE_LOADED;
    ASSERT_TRUE(WriteTargetFile(list, status));
    EXPECT_EQ(Get("Kivrel.dat"), Le32(2) + Record("A", kMac) + Record("C", kMac));
    EXPECT_FALSE(Exists("Kivrel.dat.bak"));
}

TEST_F(TargetFile, AnEmptyListIsNoFile) {
    TargetList list;
    EXPECT_EQ(ReadInto(list), FILE_MISSING);
    EXPECT_TRUE(list.empty());

    // A count of zero is a whole file holding nothing; saving nothing deletes it.
    Put("Kivrel.dat", Le32(0));
    TargetFileStatus status = ReadInto(list);
    EXPECT_EQ(status, FILE_LOADED);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(Get("Kivrel.dat"), Le32(0));
    ASSERT_TRUE(WriteTargetFile(list, status));
    EXPECT_EQ(status, FILE_MISSING);
    EXPECT_FALSE(Exists("Kivrel.dat"));
    ASSERT_TRUE(WriteTargetFile(list, status));
    EXPECT_FALSE(Exists("Kivrel.dat"));
    EXPECT_FALSE(Exists("Kivrel.dat.new"));
}

TEST_F(TargetFile, ADamagedFileIsKeptAsBackupAtTheNextSave) {
    const std::string damaged = kThreeBytes.substr(0, kThreeBytes.size() - 1);
    Put("Kivrel.dat", damaged);
    Put("Kivrel.dat.bak", "an older backup");
    TargetList list;
    TargetFileStatus status = ReadInto(list);
    ASSERT_EQ(status, FILE_DAMAGED);

    list.Append({"AB", kMac});
    ASSERT_TRUE(WriteTargetFile(list, status));
    EXPECT_EQ(status, FILE_LOADED);
    EXPECT_EQ(Get("Kivrel.dat.bak"), damaged);
    EXPECT_EQ(ReadInto(list), FILE_LOADED);
    EXPECT_EQ(list, ListOf({{"AB", kMac}}));

    // The backup is made once: a later save replaces the good file only.
    list.Append({"CD", kMac});
    ASSERT_TRUE(WriteTargetFile(list, status));
    EXPECT_EQ(Get("Kivrel.dat.bak"), damaged);
    EXPECT_EQ(Get("Kivrel.dat"), Le32(2) + Record("AB", kMac) + Record("CD", kMac));
}

TEST_F(TargetFile, ADamagedFileIsKeptEvenWhenTheListIsEmpty) {
    Put("Kivrel.dat", "\x05");
    TargetList list;
    TargetFileStatus status = ReadInto(list);
    ASSERT_EQ(status, FILE_DAMAGED);
    ASSERT_TRUE(WriteTargetFile(list, status));
    EXPECT_EQ(status, FILE_MISSING);
    EXPECT_FALSE(Exists("Kivrel.dat"));
    EXPECT_EQ(Get("Kivrel.dat.bak"), "\x05");
}

TEST_F(TargetFile, ADamagedFileWhoseBackupCannotBeReplacedTakesTheNextFreeSpareName) {
    const std::string damaged = Le32(9) + Record("PC", kMac);
    Put("Kivrel.dat", damaged);
    // A backup name taken by a directory that is not empty refuses the move.
    fs::create_directory("Kivrel.dat.bak");
    Put("Kivrel.dat.bak/keep", "x");
    Put("Kivrel.dat.bak1", "a spare taken before"); // left as it is
    TargetList list;
    TargetFileStatus status = ReadInto(list);
    ASSERT_EQ(status, FILE_DAMAGED);

    EXPECT_TRUE(WriteTargetFile(kThree, status));
    EXPECT_EQ(Get("Kivrel.dat"), kThreeBytes);
    EXPECT_EQ(Get("Kivrel.dat.bak1"), "a spare taken before");
    EXPECT_EQ(Get("Kivrel.dat.bak2"), damaged);
    EXPECT_FALSE(Exists("Kivrel.dat.new"));
}

// A save that could not put its list in place left it in "Kivrel.dat.new":
// each start shows the newest complete list, and no save loses it.
TEST_F(TargetFile, TheNewestCompleteListSurvivesStartsAndSaves) {
    const std::string one = Le32(1) + Record("AB", kMac), none;
    struct Case {
        std::string place, fresh; // the files before the start; none: no file
        bool writeFails;          // the temporary file cannot be made
        TargetList shown, saved;  // what the start shows and the save writes
        std::string placeAfter, freshAfter;
    } const cases[] = {
        {one, kThreeBytes, false, kThree, kThree, kThreeBytes, none},
        {none, kThreeBytes, false, kThree, kThree, kThreeBytes, none},
        {one, kThreeBytes, true, kThree, ListOf({{"X", kMac}}), one, kThreeBytes},
        {one, kThreeBytes, false, kThree, {}, none, none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        for (const auto& [path, bytes] :
             {std::pair{"Kivrel.dat", c.place}, {"Kivrel.dat.new", c.fresh}}) {
            Put(path, bytes);
            if (bytes.empty()) {
                fs::remove(path);
            }
        }
        fs::remove_all("Kivrel.dat.new.tmp");
        if (c.writeFails) {
            fs::create_directories("Kivrel.dat.new.tmp/keep");
        }
        TargetList list;
        TargetFileStatus status = ReadInto(list);
        EXPECT_EQ(list, c.shown);
        EXPECT_EQ(WriteTargetFile(c.saved, status), !c.writeFails);
        EXPECT_EQ(Get("Kivrel.dat") + "|" + Get("Kivrel.dat.new"),
                  c.placeAfter + "|" + c.freshAfter);
        ReadInto(list);
        EXPECT_EQ(list, c.writeFails ? c.shown : c.saved);
    }
}

TEST_F(TargetFile, AFailedSaveLeavesTheOldFileByteForByte) {
    Put("Kivrel.dat", kThreeBytes);
    TargetList list;
    TargetFileStatus status = ReadInto(list);
    ASSERT_EQ(status, FILE_LOADED);
    // The new file's name is taken by a directory, so it cannot be created.
    fs::create_directory("Kivrel.dat.new");
    Put("Kivrel.dat.new/keep", "x");

    EXPECT_FALSE(WriteTargetFile(ListOf({{"AB", kMac}}), status));
    EXPECT_EQ(status, FILE_LOADED);
    EXPECT_EQ(Get("Kivrel.dat"), kThreeBytes);
    EXPECT_FALSE(Exists("Kivrel.dat.bak"));
}

TEST_F(TargetFile, OtherPathsWorkTheSameWay) {
    fs::create_directory("sub");
    TargetFileStatus status = FILE_MISSING;
    ASSERT_TRUE(WriteTargetFile(kThree, status, "sub/list.dat"));
    EXPECT_EQ(Get("sub/list.dat"), kThreeBytes);
    EXPECT_FALSE(Exists("Kivrel.dat"));
    TargetList list;
    EXPECT_EQ(ReadTargetFile(list, "sub/list.dat"), FILE_LOADED);
    EXPECT_EQ(list, kThree);
}

// The address file shares the data file's save: only its text is its own.
TEST_F(TargetFile, AddressesComeBackAsTextAndADamagedFileIsKept) {
    AddressBook book;
    EXPECT_EQ(ReadAddressFile(book), FILE_MISSING);
    TargetFileStatus status = FILE_MISSING;
    book[kMac].address = CleanAddressText(" study-pc\t");
    book[{0xAA, 0, 0, 0, 0, 1}].address = CleanAddressText("192.0.2.10\tx");
    ASSERT_TRUE(WriteAddressFile(book, status));
    // What the release before destinations wrote, and reads.
    const std::string text = "00-11-22-33-44-55 study-pc\r\nAA-00-00-00-00-01 192.0.2.10 x\r\n";
    EXPECT_EQ(Get("Kivrel.addresses.txt"), text);
    AddressBook read;
    EXPECT_EQ(ReadAddressFile(read), FILE_LOADED);
    EXPECT_EQ(read, book);
    // What an editor might make of it: a mark, LF ends, a blank line, spaces.
    Put("Kivrel.addresses.txt", "\xEF\xBB\xBF\n00-11-22-33-44-55  pc-2 \n  \naa-00-00-00-00-01\tb");
    EXPECT_EQ(ReadAddressFile(read), FILE_LOADED);
    EXPECT_EQ(read, (AddressBook{{kMac, {"pc-2", "", 0}}, {{0xAA, 0, 0, 0, 0, 1}, {"b", "", 0}}}));
    for (const char* bad :
         {"00-11-22-33-44-55\r\n", "00:11:22:33:44:55 pc\r\n", "pc\r\n", "00-11-22-33-44-55 \r\n",
          "00-11-22-33-44-55pc\r\n", "00-11-22-33-44-55 \t\t\r\n",
          "00-11-22-33-44-55 pc\tdest\t0\r\n", "00-11-22-33-44-55 a\tb\t9\tc\r\n"}) {
        Put("Kivrel.addresses.txt", text + bad);
        read = book;
        status = ReadAddressFile(read);
        EXPECT_EQ(status, FILE_DAMAGED) << bad;
        EXPECT_TRUE(read.empty()) << bad;
    }
    ASSERT_TRUE(WriteAddressFile({}, status));
    EXPECT_FALSE(Exists("Kivrel.addresses.txt"));
    EXPECT_EQ(Get("Kivrel.addresses.txt.bak"), text + "00-11-22-33-44-55 a\tb\t9\tc\r\n");
}

// A destination and a port follow the address, apart by tabs, only when
// there is one; each part may stand alone.
TEST_F(TargetFile, DestinationsAndPortsFollowTheAddress) {
    const AddressBook book = {{kMac, {"192.0.2.10", "192.0.2.255", 9}},
                              {{0xAA, 0, 0, 0, 0, 1}, {"", "pc.example.net", 0}},
                              {{0xAA, 0, 0, 0, 0, 3}, {"study-pc", "", 65535}}};
    TargetFileStatus status = FILE_MISSING;
    ASSERT_TRUE(WriteAddressFile(book, status));
    EXPECT_EQ(Get("Kivrel.addresses.txt"), "00-11-22-33-44-55 192.0.2.10\t192.0.2.255\t9\r\n"
                                           "AA-00-00-00-00-01 \tpc.example.net\r\n"
                                           "AA-00-00-00-00-03 study-pc\t\t65535\r\n");
    AddressBook read;
    EXPECT_EQ(ReadAddressFile(read), FILE_LOADED);
    EXPECT_EQ(read, book);
    Put("Kivrel.addresses.txt", "00-11-22-33-44-55\t \t router.example \t 0040000 \n");
    EXPECT_EQ(ReadAddressFile(read), FILE_LOADED);
    EXPECT_EQ(read, (AddressBook{{kMac, {"", "router.example", 40000}}}));
    // The newest book wins as the newest list does: a whole ".new" beside a
    // readable file, left by a save that could not put it in place.
    Put("Kivrel.addresses.txt.new", "00-11-22-33-44-55 new-pc\tfar.example\t9\r\n");
    EXPECT_EQ(ReadAddressFile(read), FILE_LOADED);
    EXPECT_EQ(read, (AddressBook{{kMac, {"new-pc", "far.example", 9}}}));
    EXPECT_EQ(ReadAddressFile(read, kAddressFileName, READ_SHARED), FILE_LOADED);
    EXPECT_EQ(read[kMac].address, "new-pc");
    Put("Kivrel.addresses.txt.new", "00-11-22-33-44-55\r\n");
    EXPECT_EQ(ReadAddressFile(read), FILE_LOADED);
    EXPECT_EQ(read, (AddressBook{{kMac, {"", "router.example", 40000}}}));
}

#ifdef _WIN32
TEST_F(TargetFile, AFileHeldOpenElsewhereIsNeitherReadNorReplaced) {
    Put("Kivrel.dat", kThreeBytes);
    Put("Kivrel.dat.bak", "a damaged one");
    std::FILE* held = std::fopen("Kivrel.dat", "rb");
    ASSERT_NE(held, nullptr);
    TargetList list;
    TargetFileStatus status = ReadInto(list);
    EXPECT_EQ(status, FILE_HELD);
    EXPECT_TRUE(list.empty());
    const TargetList ab = ListOf({{"AB", kMac}});
    EXPECT_FALSE(WriteTargetFile(ab, status));
    std::fclose(held);
    EXPECT_EQ(Get("Kivrel.dat"), kThreeBytes);
    EXPECT_EQ(Get("Kivrel.dat.new"), Le32(1) + Record("AB", kMac));
    // Once free it is kept under a spare name: never over a backup.
    EXPECT_TRUE(WriteTargetFile(ab, status));
    EXPECT_EQ(Get("Kivrel.dat.bak1"), kThreeBytes);
    EXPECT_EQ(Get("Kivrel.dat.bak"), "a damaged one");
    EXPECT_EQ(Get("Kivrel.dat"), Le32(1) + Record("AB", kMac));
}
#endif

} // namespace
} // namespace kivrel
