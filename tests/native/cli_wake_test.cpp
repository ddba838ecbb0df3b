#include "app/cli_wake.h"
#include "app/seen_messages.h"

#include "res/resource.h"
#include "wake/wake_sender.h"

#include <gtest/gtest.h>

#include <vector>

namespace kivrel {
namespace {

class RecordedMessages final : public Messages {
public:
    void ShowStop(unsigned id) override { shown.push_back(id); }
    void ShowWarning(unsigned id) override { shown.push_back(id); }
    bool Confirm(unsigned id) override {
        shown.push_back(id);
        return true;
    }
    std::vector<unsigned> shown;
};

std::vector<MacBytes> g_sent;
int g_result = SEND_OK;

int FakeSend(const MacBytes& mac) {
    g_sent.push_back(mac);
    return g_result;
}

struct CliWake : ::testing::Test {
    void SetUp() override {
        g_sent.clear();
        g_result = SEND_OK;
    }
    RecordedMessages messages;
};

TEST_F(CliWake, ValidAddressSendsOnceAndSaysNothing) {
    EXPECT_EQ(RunCommandLineWake("00-11-22-33-44-55", messages, FakeSend), CLI_EXIT_SENT);
    ASSERT_EQ(g_sent.size(), 1u);
    EXPECT_EQ(g_sent[0], (MacBytes{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CliWake, FailedSendIsSilentButNotSuccess) {
    for (int code : {SEND_ERR_SOCKET, SEND_ERR_BROADCAST, SEND_ERR_SENDTO}) {
        g_result = code;
        EXPECT_EQ(RunCommandLineWake("00-11-22-33-44-55", messages, FakeSend),
                  CLI_EXIT_SEND_FAILED);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CliWake, RejectedTextShowsOneMessageAndSendsNothing) {
    const struct {
        const char* text;
        unsigned message;
    } cases[] = {
        {"00-11-22-33-44-55 ", IDS_MAC_LENGTH},
        {"00-11-22-33-44-55 66-77-88-99-AA-BB", IDS_MAC_LENGTH},
        {"\"00-11-22-33-44-55\"", IDS_MAC_LENGTH},
        {"00:11:22:33:44:55", IDS_MAC_SEPARATOR},
        {"/?", IDS_MAC_SEPARATOR},
        {"00-11-22-33-44-5G", IDS_MAC_DIGIT},
    };
    for (const auto& c : cases) {
        messages.shown.clear();
        EXPECT_EQ(RunCommandLineWake(c.text, messages, FakeSend), CLI_EXIT_BAD_ADDRESS);
        EXPECT_EQ(messages.shown, std::vector<unsigned>{c.message}) << c.text;
    }
    EXPECT_TRUE(g_sent.empty());
}

int g_stationQueries = 0;
bool g_stationKnown = true;
unsigned long g_stationFlags = 0;

bool FakeStation(unsigned long& flags) {
    ++g_stationQueries;
    flags = g_stationFlags;
    return g_stationKnown;
}

TEST_F(CliWake, BoxesOnlyOnAStationSomeoneSees) {
    const struct {
        bool known;
        unsigned long flags;
        bool shown;
    } cases[] = {{true, 0, false},
                 {true, 0x100, false},
                 {true, kStationVisible, true},
                 {true, 0x100 | kStationVisible, true},
                 {false, 0, true}};
    for (const auto& c : cases) {
        g_stationKnown = c.known;
        g_stationFlags = c.flags;
        g_stationQueries = 0;
        messages.shown.clear();
        SeenMessages seen(messages, FakeStation);
        EXPECT_EQ(RunCommandLineWake("00-11-22-33-44-55", seen, FakeSend), CLI_EXIT_SENT);
        EXPECT_EQ(g_stationQueries, 0); // nothing to show, nothing asked
        EXPECT_EQ(RunCommandLineWake("00:11", seen, FakeSend), CLI_EXIT_BAD_ADDRESS);
        EXPECT_EQ(seen.Confirm(IDS_CONFIRM_SEND), c.shown);
        EXPECT_EQ(g_stationQueries, 1);
        EXPECT_EQ(messages.shown.size(), c.shown ? 2u : 0u) << c.flags;
    }
}

TEST_F(CliWake, ShortLastGroupIsSent) {
    EXPECT_EQ(RunCommandLineWake("00-11-22-33-44-5", messages, FakeSend), CLI_EXIT_SENT);
    ASSERT_EQ(g_sent.size(), 1u);
    EXPECT_EQ(g_sent[0][5], 0x05);
}

} // namespace
} // namespace kivrel
