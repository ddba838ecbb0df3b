// Thousands of random command sequences on the target list view, with saves,
// loads and restarts in between. After every step the rows show exactly the
// list, the list is what a model kept beside it says, and whatever reads the
// data file gets exactly the list saved last.
#include "frame/command_chain.h"
#include "res/resource.h"
#include "targets/mac_text.h"
#include "targets/target_file.h"
#include "tests/native/fake_list_control.h"
#include "tests/native/soak_runs.h"
#include "ui/target_input.h"
#include "ui/target_list_view.h"
#include "tests/native/scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace kivrel {
namespace {

namespace fs = std::filesystem;

// Every save is flushed to the disk, and Wine's file calls are slower still.
constexpr int kNativeRuns = 2000;
constexpr int kWindowsRuns = 300;
constexpr int kLongestSequence = 80;
constexpr std::uint32_t kSeedSalt = 0x11570000;
// The name field keeps the edit control's default limit of 32767 characters,
// and a double-byte character is two ANSI bytes.
constexpr std::size_t kLongestName = 2 * 32767;

const std::string kBackupName = std::string(kTargetFileName) + ".bak";
const std::string kFreshName = std::string(kTargetFileName) + ".new";

using Model = std::vector<TargetEntry>;

// Any bytes but zero, which the field cannot hold; mostly short, now and then
// as long as the field allows.
std::string RandomName(std::mt19937& random) {
    const unsigned kind = random() % 100;
    const std::size_t length = kind < 75   ? 1 + random() % 16
                               : kind < 99 ? 1 + random() % 300
                                           : 1 + random() % kLongestName;
    std::string name(length, '\0');
    for (char& byte : name) {
        byte = static_cast<char>(1 + random() % 255);
    }
    return name;
}

// The registration dialog as a user fills it in: what it hands back is what
// its own checks make of the texts typed, or nothing on Cancel.
class RandomDialogs final : public ViewDialogs {
public:
    explicit RandomDialogs(std::mt19937& random) : m_random(random) {}

    bool RunRegister(const TargetEntry* editing, TargetEntry& result, PcAddresses&) override {
        ++registerRuns;
        shownForEditing = editing == nullptr ? std::nullopt : std::optional<TargetEntry>(*editing);
        accepted.reset();
        if (m_random() % 5 == 0) {
            return false;
        }
        TargetEntry typed;
        typed.name = RandomName(m_random);
        for (std::uint8_t& byte : typed.mac) {
            byte = static_cast<std::uint8_t>(m_random());
        }
        std::string macText = FormatMacText(typed.mac);
        for (char& c : macText) {
            if (m_random() % 2 == 0) {
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
        }
        const TargetInputResult input = ValidateTargetInput(typed.name, macText);
        if (input.messageId != 0) {
            ADD_FAILURE() << "the dialog refused a valid input: message " << input.messageId;
            return false;
        }
        result.name = typed.name;
        result.mac = input.mac;
        accepted = typed;
        return true;
    }

    void RunSend(TargetList copies, AddressBook) override { sent.push_back(std::move(copies)); }
    FileOutcome RunImport(std::size_t, std::string&) override { return FileOutcome::Cancelled; }
    FileOutcome RunExport(const std::string&, std::string&) override {
        return FileOutcome::Cancelled;
    }
    void RunDiagnose(const TargetEntry&, const PcAddresses&) override {}

    int registerRuns = 0;
    std::optional<TargetEntry> shownForEditing;
    std::optional<TargetEntry> accepted; // what the user typed, on OK
    std::vector<TargetList> sent;

private:
    std::mt19937& m_random;
};

class RandomMessages final : public Messages {
public:
    explicit RandomMessages(std::mt19937& random) : m_random(random) {}

    void ShowStop(unsigned id) override { ADD_FAILURE() << "stop box " << id; }
    void ShowWarning(unsigned id) override { ADD_FAILURE() << "warning box " << id; }
    void ShowNumbers(unsigned id, bool, unsigned long, unsigned long) override {
        ADD_FAILURE() << "box " << id;
    }
    void ShowTexts(unsigned id, bool, const std::string&, const std::string&) override {
        ADD_FAILURE() << "box " << id;
    }
    bool Confirm(unsigned id) override {
        asked.push_back(id);
        lastAnswer = m_random() % 3 != 0;
        return lastAnswer;
    }

    std::vector<unsigned> asked;
    bool lastAnswer = false;

private:
    std::mt19937& m_random;
};

// The main window's list: the control and its view, made anew at each start.
struct Window {
    Window(ViewDialogs& dialogs, Messages& messages) : view(control, dialogs, messages, codec) {}

    FakeListControl control;
    Latin1Codec codec;
    TargetListView view;
};

// The first difference between a list and the model, without the names' bytes.
std::string Difference(const TargetList& list, const Model& model) {
    if (list.size() != static_cast<std::int32_t>(model.size())) {
        return std::to_string(list.size()) + " entries for " + std::to_string(model.size());
    }
    for (std::size_t i = 0; i < model.size(); ++i) {
        const TargetEntry& entry = list.at(static_cast<std::int32_t>(i));
        if (entry != model[i]) {
            return "entry " + std::to_string(i) + ": " + std::to_string(entry.name.size()) +
                   "-byte name, " + entry.FormatMacText() + " for " +
                   std::to_string(model[i].name.size()) + "-byte name, " + model[i].FormatMacText();
        }
    }
    return std::string();
}

Model Pick(const Model& model, const std::vector<int>& rows) {
    Model picked;
    for (int row : rows) {
        picked.push_back(model[static_cast<std::size_t>(row)]);
    }
    return picked;
}

const unsigned kCommands[] = {ID_TARGET_NEW, ID_TARGET_NEW,  ID_TARGET_EDIT,   ID_TARGET_DELETE,
                              ID_TARGET_UP,  ID_TARGET_DOWN, ID_SEND_SELECTED, ID_SEND_ALL};

// One sequence: a start on no file, then random steps, each checked against
// the model of what the list must now hold.
class Sequence {
public:
    explicit Sequence(std::uint32_t seed)
        : m_random(seed), m_dialogs(m_random), m_messages(m_random) {}

    void Run() {
        Restart(false);
        const int steps = 1 + static_cast<int>(m_random() % kLongestSequence);
        for (int step = 0; step < steps && !::testing::Test::HasFailure(); ++step) {
            const unsigned kind = m_random() % 20;
            if (kind < 6) {
                SelectRandomRows();
            } else if (kind < 15) {
                Command(kCommands[m_random() % std::size(kCommands)]);
            } else if (kind < 16) {
                DoubleClick();
            } else if (kind < 18) {
                Save();
            } else if (kind < 19) {
                Load();
            } else {
                Restart(m_random() % 2 == 0);
            }
            Check(step);
        }
    }

private:
    std::vector<int> Selection() const { return m_window->control.SelectedRows(); }

    void SelectRandomRows() {
        const int rows = static_cast<int>(m_model.size());
        std::vector<int> selected;
        const unsigned kind = m_random() % 6;
        if (rows > 0 && kind < 3) {
            selected.push_back(static_cast<int>(m_random() % rows));
        } else if (kind < 5) {
            for (int row = 0; row < rows; ++row) {
                if (kind == 4 || m_random() % 3 == 0) {
                    selected.push_back(row);
                }
            }
        }
        m_window->control.Select(selected);
        m_selection = selected;
    }

    void Command(unsigned id) {
        const std::vector<int> selected = Selection();
        const int one = selected.size() == 1 ? selected[0] : -1;
        const int last = static_cast<int>(m_model.size()) - 1;
        const int registerRuns = m_dialogs.registerRuns;
        const std::size_t asked = m_messages.asked.size();
        const std::size_t sent = m_dialogs.sent.size();
        const bool ran = CommandChain({&m_window->view}).Execute(id);

        bool enabled = true;
        switch (id) {
        case ID_TARGET_NEW:
            ExpectRegisterRun(registerRuns, std::nullopt);
            if (m_dialogs.accepted) {
                m_model.push_back(*m_dialogs.accepted);
                m_selection = {last + 1};
            }
            break;
        case ID_TARGET_EDIT:
            enabled = one != -1;
            if (enabled) {
                ExpectRegisterRun(registerRuns, m_model[one]);
                if (m_dialogs.accepted) {
                    m_model[one] = *m_dialogs.accepted;
                }
            }
            break;
        case ID_TARGET_DELETE:
            enabled = !selected.empty();
            if (enabled) {
                ExpectConfirm(asked, IDS_CONFIRM_DELETE);
                if (m_messages.lastAnswer) {
                    for (auto row = selected.rbegin(); row != selected.rend(); ++row) {
                        m_model.erase(m_model.begin() + *row);
                    }
                    m_selection.clear();
                }
            }
            break;
        case ID_TARGET_UP:
        case ID_TARGET_DOWN: {
            const int to = id == ID_TARGET_UP ? one - 1 : one + 1;
            enabled = one != -1 && to >= 0 && to <= last;
            if (enabled) {
                std::swap(m_model[one], m_model[to]);
                m_selection = {to};
                EXPECT_TRUE(m_window->control.IsRowFocused(to));
            }
            break;
        }
        case ID_SEND_SELECTED:
            enabled = !selected.empty();
            if (enabled) {
                ExpectSent(sent, Pick(m_model, selected));
            }
            break;
        case ID_SEND_ALL:
            enabled = !m_model.empty();
            if (enabled) {
                ExpectSent(sent, m_model);
            }
            break;
        }
        // A disabled command is dropped: it asks nothing and changes nothing.
        EXPECT_EQ(ran, enabled);
        if (!enabled || (id != ID_TARGET_NEW && id != ID_TARGET_EDIT)) {
            EXPECT_EQ(m_dialogs.registerRuns, registerRuns);
        }
        if (!enabled || id != ID_TARGET_DELETE) {
            EXPECT_EQ(m_messages.asked.size(), asked);
        }
        if (!enabled || (id != ID_SEND_SELECTED && id != ID_SEND_ALL)) {
            EXPECT_EQ(m_dialogs.sent.size(), sent);
        }
    }

    void DoubleClick() {
        const std::vector<int> selected = Selection();
        const std::size_t asked = m_messages.asked.size();
        const std::size_t sent = m_dialogs.sent.size();
        m_window->view.OnDblclk();
        if (selected.empty()) {
            EXPECT_EQ(m_messages.asked.size(), asked);
            EXPECT_EQ(m_dialogs.sent.size(), sent);
            return;
        }
        ExpectConfirm(asked, IDS_CONFIRM_SEND);
        if (m_messages.lastAnswer) {
            ExpectSent(sent, Pick(m_model, selected));
        } else {
            EXPECT_EQ(m_dialogs.sent.size(), sent);
        }
    }

    void Save() {
        m_window->view.SaveTargets();
        m_saved = m_model;
        // An empty list is kept as no file at all.
        EXPECT_EQ(fs::exists(kTargetFileName), !m_saved.empty());
        ExpectFileHoldsSaved();
    }

    void Load() {
        m_window->view.LoadTargets();
        m_model = m_saved;
        m_selection.clear();
    }

    // The window closes, saving or not (the process may just end), and a new
    // one opens on the same working folder.
    void Restart(bool saveFirst) {
        if (m_window && saveFirst) {
            Save();
        }
        m_window = std::make_unique<Window>(m_dialogs, m_messages);
        Load();
    }

    void Check(int step) {
        // Names run to 64 KiB of any bytes: only the start of a difference is shown.
        const std::string shown = m_window->control.Mismatch(m_window->view.targets());
        EXPECT_TRUE(shown.empty()) << "step " << step << ": " << shown.substr(0, 160);
        EXPECT_EQ(Difference(m_window->view.targets(), m_model), "") << "step " << step;
        EXPECT_EQ(Selection(), m_selection) << "step " << step;
        // Only a file that could not be read is ever moved aside, and every
        // save replaces the file in one step.
        EXPECT_FALSE(fs::exists(kBackupName)) << "step " << step;
        EXPECT_FALSE(fs::exists(kFreshName)) << "step " << step;
    }

    void ExpectFileHoldsSaved() {
        TargetList onDisk;
        const TargetFileStatus status = ReadTargetFile(onDisk);
        EXPECT_EQ(status, m_saved.empty() ? FILE_MISSING : FILE_LOADED);
        EXPECT_EQ(Difference(onDisk, m_saved), "");
    }

    void ExpectRegisterRun(int before, const std::optional<TargetEntry>& editing) {
        EXPECT_EQ(m_dialogs.registerRuns, before + 1);
        EXPECT_EQ(m_dialogs.shownForEditing, editing);
    }

    void ExpectConfirm(std::size_t before, unsigned id) {
        ASSERT_EQ(m_messages.asked.size(), before + 1);
        EXPECT_EQ(m_messages.asked.back(), id);
    }

    void ExpectSent(std::size_t before, const Model& copies) {
        ASSERT_EQ(m_dialogs.sent.size(), before + 1);
        EXPECT_EQ(Difference(m_dialogs.sent.back(), copies), "");
    }

    std::mt19937 m_random;
    RandomDialogs m_dialogs;
    RandomMessages m_messages;
    std::unique_ptr<Window> m_window;
    Model m_model;
    Model m_saved; // what the data file holds
    std::vector<int> m_selection;
};

// The data file's name is relative: the sequences run in a folder of their own.
class ListSoak : public ::testing::Test {
private:
    test::ScratchFolder m_folder{"kivrel-list-soak-"};
};

TEST_F(ListSoak, RandomCommandsSavesAndLoads) {
    const int runs = SoakRuns(kNativeRuns, kWindowsRuns);
    ASSERT_GT(runs, 0) << "KIVREL_SOAK_RUNS must be a positive count";
    for (int run = 0; run < runs && !HasFailure(); ++run) {
        // Each sequence starts where no file is; the seed replays it exactly.
        std::error_code ignored;
        fs::remove(kTargetFileName, ignored);
        const std::uint32_t seed = SoakSeed(kSeedSalt, run);
        SCOPED_TRACE("run " + std::to_string(run) + ", seed " + std::to_string(seed));
        Sequence(seed).Run();
    }
}

} // namespace
} // namespace kivrel
