#include "targets/target_list.h"

#include <gtest/gtest.h>

#include <climits>

namespace kivrel {
namespace {

TargetEntry Entry(const char* name, std::uint8_t last) {
    return TargetEntry{name, {0x00, 0x11, 0x22, 0x33, 0x44, last}};
}

TargetList ListOf(std::initializer_list<TargetEntry> entries) {
    TargetList list;
    for (const TargetEntry& entry : entries) {
        list.Append(entry);
    }
    return list;
}

std::vector<std::string> Names(const TargetList& list) {
    std::vector<std::string> names;
    for (const TargetEntry& entry : list) {
        names.push_back(entry.name);
    }
    return names;
}

TEST(TargetList, AppendKeepsOrderDuplicatesAndCopies) {
    TargetList list;
    TargetEntry entry = Entry("pc", 1);
    list.Append(entry);
    list.Append(entry);
    entry.name = "changed";
    entry.mac[0] = 0xFF;
    list.Append(Entry("", 2));
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list.at(0), Entry("pc", 1));
    EXPECT_EQ(list.at(1), Entry("pc", 1));
    EXPECT_EQ(list.at(2), Entry("", 2));
}

TEST(TargetList, EditsMoveTheRightEntries) {
    TargetList list = ListOf({Entry("a", 1), Entry("b", 2), Entry("c", 3), Entry("d", 4)});

    ASSERT_TRUE(list.ReplaceAt(1, Entry("B", 9)));
    EXPECT_EQ(list.at(1), Entry("B", 9));

    // Moving "d" up twice, then "a" down once.
    ASSERT_TRUE(list.SwapAdjacent(2));
    ASSERT_TRUE(list.SwapAdjacent(1));
    EXPECT_EQ(Names(list), (std::vector<std::string>{"a", "d", "B", "c"}));
    ASSERT_TRUE(list.SwapAdjacent(0));
    EXPECT_EQ(Names(list), (std::vector<std::string>{"d", "a", "B", "c"}));
    EXPECT_EQ(list.at(0), Entry("d", 4));

    ASSERT_TRUE(list.RemoveAt(1));
    EXPECT_EQ(Names(list), (std::vector<std::string>{"d", "B", "c"}));
    ASSERT_TRUE(list.RemoveAt(2));
    ASSERT_TRUE(list.RemoveAt(0));
    EXPECT_EQ(Names(list), (std::vector<std::string>{"B"}));

    list.Clear();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.size(), 0);
}

TEST(TargetList, IndicesOutsideTheListChangeNothing) {
    const TargetList original = ListOf({Entry("a", 1), Entry("b", 2), Entry("c", 3)});
    const std::int32_t outside[] = {-1, 3, 4, INT_MIN, INT_MAX, INT_MIN + 1, INT_MAX - 1};
    for (const std::int32_t index : outside) {
        TargetList list = original;
        EXPECT_FALSE(list.ReplaceAt(index, Entry("x", 0))) << index;
        EXPECT_FALSE(list.RemoveAt(index)) << index;
        EXPECT_FALSE(list.SwapAdjacent(index)) << index;
        EXPECT_EQ(list, original) << index;
    }
    // The last entry has no successor to swap with.
    TargetList list = original;
    EXPECT_FALSE(list.SwapAdjacent(2));
    EXPECT_EQ(list, original);

    TargetList empty;
    EXPECT_FALSE(empty.ReplaceAt(0, Entry("x", 0)));
    EXPECT_FALSE(empty.RemoveAt(0));
    EXPECT_FALSE(empty.SwapAdjacent(0));
    EXPECT_FALSE(empty.SwapAdjacent(-1));
    EXPECT_TRUE(empty.empty());
}

TEST(TargetList, CopyEntriesTakesAscendingOrderAndOwnCopies) {
    TargetList list = ListOf({Entry("a", 1), Entry("b", 2), Entry("a", 1), Entry("d", 4)});
    const TargetList copies = list.CopyEntries({3, 0, 2, -1, 4, INT_MAX});
    EXPECT_EQ(copies, ListOf({Entry("a", 1), Entry("a", 1), Entry("d", 4)}));

    // Changing the source afterwards leaves the copies as they were.
    list.ReplaceAt(0, Entry("z", 9));
    list.Clear();
    EXPECT_EQ(copies.at(0), Entry("a", 1));

    EXPECT_TRUE(list.CopyEntries({0, 1}).empty());
    EXPECT_TRUE(copies.CopyEntries({}).empty());
}

} // namespace
} // namespace kivrel
