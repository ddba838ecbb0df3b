#include "ui/target_list_view.h"

#include "frame/command_chain.h"
#include "res/resource.h"
#include "tests/native/allocation_probe.h"
#include "tests/native/fake_list_control.h"
#include "tests/native/scratch_folder.h"
#include "ui/status_column.h"
#include "ui/target_import.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace kivrel {
namespace {

namespace fs = std::filesystem;

class ScriptedDialogs : public ViewDialogs {
public:
    bool RunRegister(const TargetEntry* editing, TargetEntry& result,
                     PcAddresses& addresses) override {
        ++registerRuns;
        shownForEditing = editing == nullptr ? std::nullopt : std::optional<TargetEntry>(*editing);
        shown = addresses;
        if (!answer) {
            return false;
        }
        result = *answer;
        addresses = answerAddresses;
        return true;
    }
    void RunSend(TargetList copies, AddressBook addresses) override {
        sent.push_back(std::move(copies));
        sentAddresses.push_back(std::move(addresses));
    }
    FileOutcome RunImport(std::size_t, std::string& bytes) override {
        bytes = file;
        return outcome;
    }
    FileOutcome RunExport(const std::string& bytes, std::string& path) override {
        file = bytes;
        path = "C:\\held.csv";
        return outcome;
    }
    void RunDiagnose(const TargetEntry& entry, const PcAddresses&) override {
        diagnosed.push_back(entry.name);
    }

    std::string file; // what the chosen file holds, or was written with
    FileOutcome outcome = FileOutcome::Done;
    std::optional<TargetEntry> answer; // none: the user cancels
    PcAddresses answerAddresses, shown;
    int registerRuns = 0;
    std::optional<TargetEntry> shownForEditing;
    std::vector<TargetList> sent;
    std::vector<AddressBook> sentAddresses;
    std::vector<std::string> diagnosed;
};

class ScriptedMessages : public Messages {
public:
    void ShowStop(unsigned id) override { ADD_FAILURE() << "stop box " << id; }
    void ShowWarning(unsigned id) override { ShowNumbers(id, true, 0, 0); }
    bool Confirm(unsigned id) override {
        asked.push_back(id);
        return answer;
    }
    void ShowNumbers(unsigned id, bool fault, unsigned long first, unsigned long second) override {
        shown.push_back({id, fault, first, second});
    }
    void ShowTexts(unsigned id, bool fault, const std::string& first,
                   const std::string& second) override {
        ShowNumbers(id, fault, 0, 0);
        texts.push_back(first + '|' + second);
    }

    bool answer = true;
    std::vector<std::string> texts;
    std::vector<unsigned> asked;
    std::vector<std::array<unsigned long, 4>> shown; // id, fault, first, second
};

const unsigned kViewCommands[] = {ID_SEND_SELECTED, ID_SEND_ALL,  ID_TARGET_NEW, ID_TARGET_EDIT,
                                  ID_TARGET_DELETE, ID_TARGET_UP, ID_TARGET_DOWN};

TargetEntry Entry(int n) {
    TargetEntry entry;
    entry.name = "PC-" + std::to_string(n);
    entry.mac = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, static_cast<std::uint8_t>(0xa0 + n)};
    return entry;
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Every test runs in a directory of its own, since the data file is relative.
class ListViewTest : public ::testing::Test {
protected:
    void TearDown() override {
        ExpectRowsMirrorList();
        EXPECT_TRUE(control.redraw);
    }

    void ExpectRowsMirrorList() { EXPECT_EQ(control.Mismatch(view.targets()), ""); }

    void Fill(int count) {
        for (int i = 0; i < count; ++i) {
            view.AddTarget(Entry(i));
        }
        ExpectRowsMirrorList();
    }

    // As the frame does it: the rule asked once, the handler run only if it holds.
    bool Command(unsigned id) {
        const bool handled = CommandChain({&view}).Execute(id);
        ExpectRowsMirrorList();
        return handled;
    }

    std::vector<unsigned> EnabledCommands() const {
        std::vector<unsigned> enabled;
        for (unsigned id : kViewCommands) {
            CommandState state;
            EXPECT_TRUE(view.QueryCommand(id, state));
            EXPECT_FALSE(state.checked);
            if (state.enabled) {
                enabled.push_back(id);
            }
        }
        return enabled;
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const TargetEntry& entry : view.targets()) {
            names.push_back(entry.name);
        }
        return names;
    }

    FakeListControl control;
    ScriptedDialogs dialogs;
    ScriptedMessages messages;
    Latin1Codec codec;
    TargetListView view{control, dialogs, messages, codec};

private:
    test::ScratchFolder m_folder{"kivrel-view-"};
};

TEST_F(ListViewTest, EnablingFollowsRowsAndSelection) {
    EXPECT_EQ(EnabledCommands(), (std::vector<unsigned>{ID_TARGET_NEW}));

    Fill(1);
    EXPECT_EQ(EnabledCommands(), (std::vector<unsigned>{ID_SEND_ALL, ID_TARGET_NEW}));
    control.Select({0});
    EXPECT_EQ(EnabledCommands(),
              (std::vector<unsigned>{ID_SEND_SELECTED, ID_SEND_ALL, ID_TARGET_NEW, ID_TARGET_EDIT,
                                     ID_TARGET_DELETE}));

    Fill(3);
    control.Select({0});
    EXPECT_EQ(EnabledCommands(),
              (std::vector<unsigned>{ID_SEND_SELECTED, ID_SEND_ALL, ID_TARGET_NEW, ID_TARGET_EDIT,
                                     ID_TARGET_DELETE, ID_TARGET_DOWN}));
    control.Select({3});
    EXPECT_EQ(EnabledCommands(),
              (std::vector<unsigned>{ID_SEND_SELECTED, ID_SEND_ALL, ID_TARGET_NEW, ID_TARGET_EDIT,
                                     ID_TARGET_DELETE, ID_TARGET_UP}));
    control.Select({2});
    EXPECT_EQ(EnabledCommands(),
              (std::vector<unsigned>{ID_SEND_SELECTED, ID_SEND_ALL, ID_TARGET_NEW, ID_TARGET_EDIT,
                                     ID_TARGET_DELETE, ID_TARGET_UP, ID_TARGET_DOWN}));
    control.Select({1, 2});
    EXPECT_EQ(EnabledCommands(), (std::vector<unsigned>{ID_SEND_SELECTED, ID_SEND_ALL,
                                                        ID_TARGET_NEW, ID_TARGET_DELETE}));
    EXPECT_EQ(view.GetSelectedIndex(), -1);
    control.Select({2});
    EXPECT_EQ(view.GetSelectedIndex(), 2);
}

TEST_F(ListViewTest, OtherCommandsAreLeftToTheFrame) {
    CommandState state;
    EXPECT_FALSE(view.QueryCommand(ID_APP_ABOUT, state));
    EXPECT_FALSE(view.QueryCommand(ID_APP_EXIT, state));
    EXPECT_FALSE(Command(ID_APP_EXIT));
}

// A command whose rule does not hold changes nothing and asks nothing, however
// it arrives.
TEST_F(ListViewTest, DisabledCommandsAreDropped) {
    dialogs.answer = Entry(9);
    for (unsigned id : {ID_TARGET_DELETE, ID_SEND_SELECTED, ID_SEND_ALL, ID_TARGET_EDIT}) {
        EXPECT_FALSE(Command(id));
    }
    Fill(3);
    control.Select({0, 2});
    for (unsigned id : {ID_TARGET_EDIT, ID_TARGET_UP, ID_TARGET_DOWN, ID_TARGET_DIAGNOSE}) {
        EXPECT_FALSE(Command(id));
    }
    control.Select({1});
    EXPECT_TRUE(Command(ID_TARGET_DIAGNOSE));
    EXPECT_EQ(dialogs.diagnosed, std::vector<std::string>{"PC-1"});
    control.Select({0});
    EXPECT_FALSE(Command(ID_TARGET_UP));
    control.Select({2});
    EXPECT_FALSE(Command(ID_TARGET_DOWN));

    EXPECT_EQ(Names(), (std::vector<std::string>{"PC-0", "PC-1", "PC-2"}));
    EXPECT_EQ(control.SelectedRows(), (std::vector<int>{2}));
    EXPECT_EQ(dialogs.registerRuns, 0);
    EXPECT_TRUE(dialogs.sent.empty());
    EXPECT_TRUE(messages.asked.empty());
}

// Called directly, bypassing the rules, they still need a usable selection.
TEST_F(ListViewTest, OneRowHandlersCheckTheSelectionThemselves) {
    dialogs.answer = Entry(9);
    Fill(3);
    control.Select({0, 2});
    view.OnTargetEdit();
    view.OnTargetUp();
    view.OnTargetDown();
    control.Select({0});
    view.OnTargetUp();
    control.Select({2});
    view.OnTargetDown();

    EXPECT_EQ(Names(), (std::vector<std::string>{"PC-0", "PC-1", "PC-2"}));
    EXPECT_EQ(control.SelectedRows(), (std::vector<int>{2}));
    EXPECT_EQ(dialogs.registerRuns, 0);
}

TEST_F(ListViewTest, DeleteRemovesTheSelectedRowsAfterConfirmation) {
    Fill(6);
    control.Select({1, 2, 4});
    messages.answer = false;
    EXPECT_TRUE(Command(ID_TARGET_DELETE));
    EXPECT_EQ(messages.asked, (std::vector<unsigned>{IDS_CONFIRM_DELETE}));
    EXPECT_EQ(view.targets().size(), 6);
    EXPECT_EQ(control.SelectedRows(), (std::vector<int>{1, 2, 4}));

    messages.answer = true;
    EXPECT_TRUE(Command(ID_TARGET_DELETE));
    EXPECT_EQ(messages.asked.size(), 2u);
    EXPECT_EQ(Names(), (std::vector<std::string>{"PC-0", "PC-3", "PC-5"}));
    EXPECT_TRUE(control.SelectedRows().empty());
}

TEST_F(ListViewTest, DeleteOfEveryRowEmptiesTheList) {
    Fill(4);
    control.Select({0, 1, 2, 3});
    EXPECT_TRUE(Command(ID_TARGET_DELETE));
    EXPECT_EQ(view.targets().size(), 0);
    EXPECT_EQ(EnabledCommands(), (std::vector<unsigned>{ID_TARGET_NEW}));
}

TEST_F(ListViewTest, UpMovesTheEntryAndItsSelection) {
    Fill(5);
    control.Select({3});
    EXPECT_TRUE(Command(ID_TARGET_UP));
    EXPECT_EQ(Names(), (std::vector<std::string>{"PC-0", "PC-1", "PC-3", "PC-2", "PC-4"}));
    EXPECT_EQ(control.Text(2, 1), Entry(3).FormatMacText());
    EXPECT_EQ(control.Text(3, 1), Entry(2).FormatMacText());
    EXPECT_EQ(control.SelectedRows(), (std::vector<int>{2}));
    EXPECT_TRUE(control.IsRowFocused(2));
    EXPECT_FALSE(control.IsRowFocused(3));
    EXPECT_EQ(control.visibleRow(), 2);

    // Repeating keeps moving it until it reaches the top, where it stops.
    EXPECT_TRUE(Command(ID_TARGET_UP));
    EXPECT_TRUE(Command(ID_TARGET_UP));
    EXPECT_FALSE(Command(ID_TARGET_UP));
    EXPECT_EQ(Names(), (std::vector<std::string>{"PC-3", "PC-0", "PC-1", "PC-2", "PC-4"}));
    EXPECT_EQ(control.SelectedRows(), (std::vector<int>{0}));
    EXPECT_EQ(control.visibleRow(), 0);
}

TEST_F(ListViewTest, DownThenUpRestoresOrderAndSelection) {
    Fill(5);
    control.Select({1});
    EXPECT_TRUE(Command(ID_TARGET_DOWN));
    EXPECT_EQ(Names(), (std::vector<std::string>{"PC-0", "PC-2", "PC-1", "PC-3", "PC-4"}));
    EXPECT_EQ(control.SelectedRows(), (std::vector<int>{2}));
    EXPECT_TRUE(control.IsRowFocused(2));
    EXPECT_EQ(control.visibleRow(), 2);

    EXPECT_TRUE(Command(ID_TARGET_UP));
    EXPECT_EQ(Names(), (std::vector<std::string>{"PC-0", "PC-1", "PC-2", "PC-3", "PC-4"}));
    EXPECT_EQ(control.SelectedRows(), (std::vector<int>{1}));
    EXPECT_TRUE(control.IsRowFocused(1));
    EXPECT_EQ(control.visibleRow(), 1);
}

TEST_F(ListViewTest, SendSelectedHandsCopiesInRowOrder) {
    Fill(6);
    control.Select({4, 1});
    EXPECT_TRUE(Command(ID_SEND_SELECTED));
    EXPECT_TRUE(messages.asked.empty());
    ASSERT_EQ(dialogs.sent.size(), 1u);
    const TargetList& sent = dialogs.sent[0];
    ASSERT_EQ(sent.size(), 2);
    EXPECT_EQ(sent.at(0), Entry(1));
    EXPECT_EQ(sent.at(1), Entry(4));
    EXPECT_EQ(view.targets().size(), 6);
    EXPECT_EQ(control.SelectedRows(), (std::vector<int>{1, 4}));
}

TEST_F(ListViewTest, SendAllHandsEveryEntry) {
    Fill(3);
    control.Select({1});
    EXPECT_TRUE(Command(ID_SEND_ALL));
    EXPECT_TRUE(messages.asked.empty());
    ASSERT_EQ(dialogs.sent.size(), 1u);
    EXPECT_EQ(dialogs.sent[0], view.targets());
}

TEST_F(ListViewTest, DoubleClickSendsTheSelectionAfterAsking) {
    view.OnDblclk();
    Fill(4);
    view.OnDblclk();
    EXPECT_TRUE(messages.asked.empty());
    EXPECT_TRUE(dialogs.sent.empty());

    control.Select({2, 3});
    messages.answer = false;
    view.OnDblclk();
    EXPECT_EQ(messages.asked, (std::vector<unsigned>{IDS_CONFIRM_SEND}));
    EXPECT_TRUE(dialogs.sent.empty());

    messages.answer = true;
    view.OnDblclk();
    EXPECT_EQ(messages.asked.size(), 2u);
    ASSERT_EQ(dialogs.sent.size(), 1u);
    EXPECT_EQ(dialogs.sent[0], view.targets().CopyEntries({2, 3}));
    ExpectRowsMirrorList();
}

TEST_F(ListViewTest, NewAppendsASelectedRowInSightOnOk) {
    Fill(2);
    control.Select({0});
    dialogs.answer = std::nullopt;
    EXPECT_TRUE(Command(ID_TARGET_NEW));
    EXPECT_EQ(dialogs.registerRuns, 1);
    EXPECT_FALSE(dialogs.shownForEditing);
    EXPECT_EQ(view.targets().size(), 2);

    dialogs.answer = Entry(7);
    EXPECT_TRUE(Command(ID_TARGET_NEW));
    EXPECT_TRUE(Command(ID_TARGET_NEW));
    EXPECT_FALSE(dialogs.shownForEditing);
    EXPECT_EQ(Names(), (std::vector<std::string>{"PC-0", "PC-1", "PC-7", "PC-7"}));
    EXPECT_EQ(control.Text(3, 1), "00-1A-2B-3C-4D-A7");
    EXPECT_EQ(control.SelectedRows(), (std::vector<int>{3}));
    EXPECT_TRUE(control.IsRowFocused(3));
    EXPECT_EQ(control.visibleRow(), 3);
    // Nothing reaches the data file before the window goes.
    EXPECT_FALSE(fs::exists(kTargetFileName));
}

TEST_F(ListViewTest, EditReplacesOnlyTheSelectedRowOnOk) {
    Fill(4);
    control.Select({2});
    dialogs.answer = std::nullopt;
    EXPECT_TRUE(Command(ID_TARGET_EDIT));
    ASSERT_TRUE(dialogs.shownForEditing);
    EXPECT_EQ(*dialogs.shownForEditing, Entry(2));
    EXPECT_EQ(view.targets().at(2), Entry(2));

    // A Japanese name in code page 932 is kept as its bytes.
    TargetEntry edited;
    edited.name = "\x83\x65\x83\x58\x83\x67";
    edited.mac = {0xff, 0xee, 0xdd, 0xcc, 0xbb, 0xaa};
    dialogs.answer = edited;
    EXPECT_TRUE(Command(ID_TARGET_EDIT));
    EXPECT_EQ(dialogs.registerRuns, 2);
    EXPECT_EQ(view.targets().at(2), edited);
    EXPECT_EQ(control.Text(2, 0), edited.name);
    EXPECT_EQ(control.Text(2, 1), "FF-EE-DD-CC-BB-AA");
    EXPECT_EQ(Names(), (std::vector<std::string>{"PC-0", "PC-1", edited.name, "PC-3"}));
    EXPECT_EQ(control.SelectedRows(), (std::vector<int>{2}));
    EXPECT_TRUE(control.IsRowFocused(2));
}

TEST_F(ListViewTest, LoadShowsTheWholeFileOrNothing) {
    TargetList saved;
    saved.Append(Entry(0));
    saved.Append(Entry(1));
    TargetFileStatus status = FILE_MISSING;
    ASSERT_TRUE(WriteTargetFile(saved, status));
    const std::string good = ReadBytes(kTargetFileName);

    Fill(3);
    control.Select({1});
    view.LoadTargets();
    ExpectRowsMirrorList();
    EXPECT_EQ(view.targets(), saved);
    EXPECT_TRUE(control.SelectedRows().empty());
    // Saving what was read whole simply replaces it.
    view.SaveTargets();
    EXPECT_EQ(ReadBytes(kTargetFileName), good);
    EXPECT_FALSE(fs::exists(std::string(kTargetFileName) + ".bak"));

    // Cut inside the last record's MAC: none of the file is shown, and a
    // close without a change leaves it as it is.
    WriteBytes(kTargetFileName, good.substr(0, good.size() - 1));
    view.LoadTargets();
    ExpectRowsMirrorList();
    EXPECT_EQ(view.targets().size(), 0);
    EXPECT_TRUE(view.SaveTargets());
    EXPECT_EQ(ReadBytes(kTargetFileName), good.substr(0, good.size() - 1));
    EXPECT_FALSE(fs::exists(std::string(kTargetFileName) + ".bak"));

    fs::remove(kTargetFileName);
    Fill(2);
    view.LoadTargets();
    EXPECT_EQ(view.targets().size(), 0);
}

TEST_F(ListViewTest, AnyAllocationFailingWhileLoadingShowsAllOrNoneAndKeepsTheFile) {
    TargetList saved; // names too long to be kept inline: each takes a request
    saved.Append({"the first of two long names", Entry(1).mac});
    saved.Append({"the second of two long names", Entry(2).mac});
    TargetFileStatus status = FILE_MISSING;
    ASSERT_TRUE(WriteTargetFile(saved, status));
    const std::string bytes = ReadBytes(kTargetFileName);
    StartWatchingAllocations();
    view.LoadTargets();
    const std::size_t requests = StopWatchingAllocations().count;
    for (std::size_t at = 0; at < 2 * requests; ++at) {
        StartWatchingAllocations(at / 2, at % 2 == 1);
        view.LoadTargets();
        StopWatchingAllocations();
        ExpectRowsMirrorList();
        EXPECT_EQ(view.targets(), view.targets().empty() ? TargetList() : saved) << at;
        // A good file is never taken for a damaged one.
        view.SaveTargets();
        EXPECT_EQ(ReadBytes(kTargetFileName), bytes) << at;
        EXPECT_FALSE(fs::exists("Kivrel.dat.bak")) << at;
    }
}

TEST_F(ListViewTest, SaveWritesWhatTheRowsShow) {
    Fill(5);
    control.Select({3});
    EXPECT_TRUE(Command(ID_TARGET_UP));
    control.Select({0, 4});
    EXPECT_TRUE(Command(ID_TARGET_DELETE));
    dialogs.answer = Entry(8);
    EXPECT_TRUE(Command(ID_TARGET_NEW));
    view.SaveTargets();

    TargetList onDisk;
    ASSERT_EQ(ReadTargetFile(onDisk), FILE_LOADED);
    ASSERT_EQ(onDisk.size(), control.RowCount());
    for (int i = 0; i < control.RowCount(); ++i) {
        EXPECT_EQ(onDisk.at(i).name, control.Text(i, 0));
        EXPECT_EQ(onDisk.at(i).FormatMacText(), control.Text(i, 1));
    }
    EXPECT_EQ(Names(), (std::vector<std::string>{"PC-1", "PC-3", "PC-2", "PC-8"}));

    // An emptied list leaves no file behind; a save that failed is tried again.
    control.Select({0, 1, 2, 3});
    EXPECT_TRUE(Command(ID_TARGET_DELETE));
    fs::remove(kTargetFileName);
    fs::create_directories("Kivrel.dat/keep");
    EXPECT_FALSE(view.SaveTargets());
    EXPECT_TRUE(view.NeedsSave());
    EXPECT_TRUE(view.ShownAtNextStart()); // the empty list waits beside the file
    fs::remove_all(kTargetFileName);
    EXPECT_TRUE(view.SaveTargets());
    EXPECT_FALSE(view.NeedsSave());
    EXPECT_FALSE(fs::exists(kTargetFileName));

    // Nothing of it written: the close offers an export until one is done or declined.
    Fill(1);
    fs::create_directories("Kivrel.dat.new.tmp/keep");
    EXPECT_FALSE(view.SaveTargets());
    EXPECT_FALSE(view.ShownAtNextStart());
    messages.asked.clear();
    messages.answer = false;
    view.OfferExportBeforeClosing();
    EXPECT_TRUE(dialogs.file.empty());
    messages.answer = true;
    view.OfferExportBeforeClosing();
    EXPECT_EQ(messages.asked, (std::vector<unsigned>(2, IDS_SAVE_EXPORT_FIRST)));
    EXPECT_EQ(dialogs.file, "\xEF\xBB\xBFName,MAC\r\nPC-0,00-1A-2B-3C-4D-A0\r\n");
}

TEST_F(ListViewTest, AddressesGoWithTheirMacsAndComeBackAfterARestart) {
    Fill(2);
    dialogs.answer = Entry(5);
    dialogs.answerAddresses = {" study-pc ", " 203.0.113.255\t", 9};
    EXPECT_TRUE(Command(ID_TARGET_NEW));
    control.Select({2});
    EXPECT_TRUE(Command(ID_TARGET_UP));
    // Editing shows what is kept; a new MAC takes it along, the old one lets go.
    // (A destination's "=" must not become a spreadsheet's formula.)
    TargetEntry moved = Entry(6);
    const PcAddresses far = {"192.0.2.10", "=pc.example.net", 40000};
    dialogs.answer = moved;
    dialogs.answerAddresses = far;
    EXPECT_TRUE(Command(ID_TARGET_EDIT));
    EXPECT_EQ(dialogs.shown, (PcAddresses{"study-pc", "203.0.113.255", 9}));
    EXPECT_EQ(view.AddressesOf(Entry(5).mac), PcAddresses());
    EXPECT_EQ(view.AddressOf(moved.mac), "192.0.2.10");
    EXPECT_EQ(StatusChecksOf(view)[1].address, "192.0.2.10"); // checked there
    // A PC added and deleted again with that MAC and nothing of its own
    // leaves what the MAC has; sends take each PC's own.
    dialogs.answer = TargetEntry{"twin", moved.mac};
    dialogs.answerAddresses = {};
    EXPECT_TRUE(Command(ID_TARGET_NEW));
    control.Select({3});
    EXPECT_TRUE(Command(ID_TARGET_DELETE));
    EXPECT_TRUE(Command(ID_SEND_ALL));
    EXPECT_EQ(dialogs.sentAddresses.back(), (AddressBook{{moved.mac, far}}));
    view.SaveTargets();
    view.LoadTargets();
    EXPECT_EQ(Names(), (std::vector<std::string>{"PC-0", "PC-6", "PC-1"}));
    EXPECT_TRUE(Command(ID_TARGET_EXPORT));
    EXPECT_EQ(dialogs.file, "\xEF\xBB\xBFName,MAC,Address,Destination,Port\r\n"
                            "PC-0,00-1A-2B-3C-4D-A0,,,\r\n"
                            "PC-6,00-1A-2B-3C-4D-A6,192.0.2.10,'=pc.example.net,40000\r\n"
                            "PC-1,00-1A-2B-3C-4D-A1,,,\r\n");
    // The data file stays as it was; deleting the PC forgets its address.
    TargetList onDisk;
    EXPECT_EQ(ReadTargetFile(onDisk), FILE_LOADED);
    EXPECT_EQ(onDisk, view.targets());
    control.Select({1});
    EXPECT_TRUE(Command(ID_TARGET_DELETE));
    view.SaveTargets();
    EXPECT_FALSE(fs::exists(kAddressFileName));
    // Importing what export wrote brings it all back. Headings in any order,
    // letter case and either language; an empty cell keeps what the MAC has.
    EXPECT_TRUE(Command(ID_TARGET_IMPORT));
    dialogs.file =
        "\xEF\xBB\xBFport,\xE9\x80\x81\xE4\xBF\xA1\xE5\x85\x88,name,Mac,ADDRESS\r\n"
        " 40000 ,router.example,D,00:1a:2b:3c:4d:04, pc-d \r\n,,E,00-1A-2B-3C-4D-A6,\r\n";
    EXPECT_TRUE(Command(ID_TARGET_IMPORT));
    EXPECT_EQ(view.AddressesOf({0, 0x1a, 0x2b, 0x3c, 0x4d, 4}),
              (PcAddresses{"pc-d", "router.example", 40000}));
    EXPECT_EQ(view.AddressesOf(moved.mac), far);
}

// The rows of a damaged file are not shown, so saving must not destroy it.
TEST_F(ListViewTest, SaveAfterADamagedLoadKeepsTheOldFile) {
    const std::string damaged("\x05\x00\x00\x00\x02\x00\x00\x00"
                              "AB",
                              10);
    WriteBytes(kTargetFileName, damaged);
    view.LoadTargets();
    EXPECT_EQ(view.targets().size(), 0);
    dialogs.answer = Entry(1);
    EXPECT_TRUE(Command(ID_TARGET_NEW));
    view.SaveTargets();

    EXPECT_EQ(ReadBytes(std::string(kTargetFileName) + ".bak"), damaged);
    TargetList onDisk;
    ASSERT_EQ(ReadTargetFile(onDisk), FILE_LOADED);
    EXPECT_EQ(onDisk, view.targets());
}

TEST_F(ListViewTest, ExportedListImportsAsTheSameListAndThenOnlySkips) {
    CommandState state;
    EXPECT_TRUE(view.QueryCommand(ID_TARGET_EXPORT, state) && !state.enabled);
    for (const char* name :
         {"PC-0", "a,b", "say \"hi\"", "two\nlines", "Caf\xE9", "=1+2", "'-x", "'a"}) {
        view.AddTarget({name, {0x00, 0x1a, 0x2b, 0x3c, 0x4d, static_cast<std::uint8_t>(name[0])}});
    }
    EXPECT_TRUE(Command(ID_TARGET_EXPORT));
    EXPECT_EQ(dialogs.file,
              "\xEF\xBB\xBFName,MAC\r\nPC-0,00-1A-2B-3C-4D-50\r\n\"a,b\",00-1A-2B-3C-4D-61\r\n"
              "\"say \"\"hi\"\"\",00-1A-2B-3C-4D-73\r\n\"two\nlines\",00-1A-2B-3C-4D-74\r\n"
              "Caf\xC3\xA9,00-1A-2B-3C-4D-43\r\n'=1+2,00-1A-2B-3C-4D-3D\r\n"
              "''-x,00-1A-2B-3C-4D-27\r\n'a,00-1A-2B-3C-4D-27\r\n");
    const TargetList exported = view.targets();
    while (!view.targets().empty()) {
        view.DeleteTarget(0);
    }
    EXPECT_TRUE(Command(ID_TARGET_IMPORT));
    EXPECT_TRUE(Command(ID_TARGET_IMPORT));
    EXPECT_EQ(view.targets(), exported);
    using Shown = std::vector<std::array<unsigned long, 4>>;
    EXPECT_EQ(messages.shown, (Shown{{IDS_IMPORT_ADDED, 0, 8, 0}, {IDS_IMPORT_DONE, 0, 0, 8}}));
    dialogs.outcome = FileOutcome::Failed;
    EXPECT_TRUE(Command(ID_TARGET_EXPORT));
    EXPECT_EQ(messages.shown.back(), (std::array<unsigned long, 4>{IDS_EXPORT_FAILED, 1, 0, 0}));
    dialogs.outcome = FileOutcome::InUse;
    EXPECT_TRUE(Command(ID_TARGET_EXPORT));
    EXPECT_EQ(messages.shown.back(), (std::array<unsigned long, 4>{IDS_EXPORT_IN_USE, 1, 0, 0}));
    EXPECT_EQ(messages.texts.back(), "C:\\held.csv|");
}

// Latin-1 text as UTF-16 with its byte order mark.
std::string Utf16(const std::string& latin1, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : latin1) {
        bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    }
    return bytes;
}

TEST_F(ListViewTest, ImportFindsColumnsByTheirHeadingsAndTakesEveryMacForm) {
    const struct {
        std::string file;
        std::vector<TargetEntry> added;
    } cases[] = {
        {"MAC Address,Name,IP\r\n00:11:22:33:44:55,Alpha,10.0.0.1\r\n,,\r\n\r\n0011.2233.4466,"
         "\"Beta, Inc\",\n 001122334477 ,Gamma\r\n00-11-22-33-44-55,Alpha",
         {{"Alpha", {0, 0x11, 0x22, 0x33, 0x44, 0x55}},
          {"Beta, Inc", {0, 0x11, 0x22, 0x33, 0x44, 0x66}},
          {"Gamma", {0, 0x11, 0x22, 0x33, 0x44, 0x77}}}},
        // No header; not UTF-8, so the ANSI code page's.
        {"Caf\xE9,aa-bb-cc-dd-ee-ff", {{"Caf\xE9", {0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff}}}},
        {"\xEF\xBB\xBF\xE5\x90\x8D\xE5\x89\x8D,"
         "mac\xE3\x82\xA2\xE3\x83\x89\xE3\x83\xAC\xE3\x82\xB9\n"
         "Caf\xC3\xA9,000000000001",
         {{"Caf\xE9", {0, 0, 0, 0, 0, 1}}}},
        // A spreadsheet's Unicode text: UTF-16 with its mark, tab-separated.
        {Utf16("Name\tMAC\r\n\xE9\t00-11-22-33-44-01\r\n", false),
         {{"\xE9", {0, 0x11, 0x22, 0x33, 0x44, 0x01}}}},
        {Utf16("MAC,Name\n001122334402,x", true), {{"x", {0, 0x11, 0x22, 0x33, 0x44, 0x02}}}},
        // A European locale's separator; a quote inside a field is a character.
        {"\r\nName;MAC;Note\r\n\"M\xFCller; H\";00-11-22-33-44-55;a,b\r\n"
         "Monitor 27\" PC;00-11-22-33-44-56",
         {{"M\xFCller; H", {0, 0x11, 0x22, 0x33, 0x44, 0x55}},
          {"Monitor 27\" PC", {0, 0x11, 0x22, 0x33, 0x44, 0x56}}}},
        // Valid UTF-8 whose reading the code page cannot hold: the code page's.
        {"\xC4\x80,00-11-22-33-44-55", {{"\xC4\x80", {0, 0x11, 0x22, 0x33, 0x44, 0x55}}}},
    };
    for (const auto& c : cases) {
        while (!view.targets().empty()) {
            view.DeleteTarget(0);
        }
        dialogs.file = c.file;
        EXPECT_TRUE(Command(ID_TARGET_IMPORT));
        EXPECT_EQ(std::vector<TargetEntry>(view.targets().begin(), view.targets().end()), c.added)
            << c.file;
    }
    EXPECT_EQ(messages.shown[0], (std::array<unsigned long, 4>{IDS_IMPORT_DONE, 0, 3, 1}));
}

// One fault anywhere: its message with its line or limit, and nothing added.
TEST_F(ListViewTest, ImportIsAllOrNothing) {
    std::string tooMany;
    for (int i = 0; i < kMaxImportedList; ++i) {
        tooMany += "P" + std::to_string(i) + ",00-00-00-00-00-00\n";
    }
    const struct {
        FileOutcome outcome;
        std::string file;
        std::array<unsigned long, 4> shown;
    } cases[] = {
        {FileOutcome::Done,
         "Name,MAC\r\nA,00-11-22-33-44-55\r\n,00-11-22-33-44-66\r\n",
         {IDS_IMPORT_NAME_EMPTY, 1, 3, 0}},
        {FileOutcome::Done,
         "\"A\r\nB\",00-11-22-33-44-55\r\nC,00-11-22-33-44-5",
         {IDS_IMPORT_BAD_MAC, 1, 3, 0}},
        {FileOutcome::Done, "A,00-11-22:33-44-55", {IDS_IMPORT_BAD_MAC, 1, 1, 0}},
        {FileOutcome::Done, "A,001122334455\nB,zz\nC,001122334456", {IDS_IMPORT_BAD_MAC, 1, 2, 0}},
        {FileOutcome::Done, "\r\nName,IP\nA,1", {IDS_IMPORT_COLUMNS, 1, 0, 0}},
        {FileOutcome::Done,
         "Name,MAC,Port\r\nA,00-11-22-33-44-55,9\r\n\r\nB,00-11-22-33-44-56,65536\r\n",
         {IDS_IMPORT_BAD_PORT, 1, 4, 0}},
        {FileOutcome::Done, "A,00-11-22-33-44-55\n\"B,00-11", {IDS_IMPORT_QUOTE, 1, 2, 0}},
        {FileOutcome::Done,
         "\xEF\xBB\xBF"
         "A,00-11-22-33-44-55\n\xE6\x9D\xB1,00-11-22-33-44-55",
         {IDS_IMPORT_CODE_PAGE, 1, 2, 0}},
        {FileOutcome::Done, tooMany, {IDS_IMPORT_TOO_MANY, 1, 100000, 0}},
        {FileOutcome::TooBig, "", {IDS_IMPORT_TOO_BIG, 1, 4, 0}},
        {FileOutcome::Failed, "", {IDS_IMPORT_UNREADABLE, 1, 0, 0}},
    };
    Fill(2);
    for (const auto& c : cases) {
        dialogs.outcome = c.outcome;
        dialogs.file = c.file;
        EXPECT_TRUE(Command(ID_TARGET_IMPORT));
        EXPECT_EQ(messages.shown.back(), c.shown) << c.file.substr(0, 40);
        EXPECT_EQ(Names(), (std::vector<std::string>{"PC-0", "PC-1"}));
    }
    EXPECT_EQ(messages.texts, std::vector<std::string>{"2|Name, IP"});
    messages.shown.clear();
    dialogs.outcome = FileOutcome::Cancelled;
    EXPECT_TRUE(Command(ID_TARGET_IMPORT));
    EXPECT_TRUE(messages.shown.empty());
}

// A status is drawn by MAC: every row of that PC in sight, and only those.
TEST(StatusColumnTest, RepaintsTheRowsInSightOfEachChangedPc) {
    const MacBytes a = {1, 2, 3, 4, 5, 6}, b = {2, 2, 3, 4, 5, 6};
    TargetList targets;
    for (const MacBytes& mac : {a, b, a, b, a}) {
        targets.Append({"pc", mac});
    }
    EXPECT_EQ(RowsToRepaint(targets, 1, 9, {{a, PC_STATUS_UP}}), (std::vector<int>{2, 4}));
    EXPECT_EQ(RowsToRepaint(targets, -1, 2, {{b, PC_STATUS_DOWN}}), (std::vector<int>{1}));
}

} // namespace
} // namespace kivrel
