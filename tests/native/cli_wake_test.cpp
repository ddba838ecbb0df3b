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
    void ShowNumbers(unsigned id, bool, unsigned long, unsigned long) override {
        shown.push_back(id);
    }
    void ShowTexts(unsigned id, bool, const std::string& first,
                   const std::string& second) override {
        shown.push_back(id);
        texts.push_back(first + '|' + second);
    }
    std::vector<unsigned> shown;
    std::vector<std::string> texts;
};

std::vector<MacBytes> g_sent;
std::vector<std::string> g_sentTo; // "destination:port" of each send
int g_result = SEND_OK;

// As the sender: a destination named "no-such-pc" does not resolve.
int FakeSend(const WakeTarget& target) {
    g_sent.push_back(target.mac);
    g_sentTo.push_back(target.destination + ':' + std::to_string(target.port));
    return target.destination.find("no-such-pc") != std::string::npos ? int(SEND_ERR_NO_DESTINATION)
                                                                      : g_result;
}

AddressBook g_book;

// A line on standard error, in order among the sends.
void FakePrintError(unsigned id, const std::string& destination) {
    EXPECT_EQ(id, unsigned(IDS_CLI_NO_DESTINATION));
    g_sentTo.push_back("error " + destination);
}

TargetList g_list;
int g_loads = 0;

void FakeLoad(TargetList& list) {
    ++g_loads;
    list = g_list;
}

// Shift-JIS-like: 0x81 to 0x9F lead a double-byte character.
bool FakeLeadByte(unsigned char c) {
    return c >= 0x81 && c <= 0x9F;
}

class CountedPause final : public AbortSignal {
public:
    bool WaitForAbort(unsigned timeoutMs) override {
        EXPECT_EQ(timeoutMs, kSendIntervalMs);
        return ++waits > waitsBeforeAbort;
    }
    std::size_t waits = 0;
    std::size_t waitsBeforeAbort = 99;
};

class BytesCodec final : public TextCodec {
public:
    std::string AnsiToUtf8(const std::string& ansi) const override { return "<" + ansi + ">"; }
    bool Utf8ToAnsi(const std::string&, std::string&) const override { return false; }
};

bool g_windowOpen = false;

struct CliWake : ::testing::Test {
    void SetUp() override {
        g_sent.clear();
        g_sentTo.clear();
        g_result = SEND_OK;
        g_list.Clear();
        g_loads = 0;
        g_windowOpen = false;
        g_book.clear();
    }
    CliExit Run(const std::string& text, Messages& shown, WakeSender send) {
        return RunCommandLineWake(text, shown, send,
                                  {FakeLoad, FakeLeadByte, pause, codec,
                                   [] { return std::string("C:\\PCs"); },
                                   [] { return g_windowOpen; },
                                   [](AddressBook& book) { book = g_book; }, FakePrintError});
    }
    RecordedMessages messages;
    CountedPause pause;
    BytesCodec codec;
};

TEST_F(CliWake, ValidAddressSendsOnceAndSaysNothing) {
    EXPECT_EQ(Run("00-11-22-33-44-55", messages, FakeSend), CLI_EXIT_SENT);
    EXPECT_EQ(g_loads, 0);
    ASSERT_EQ(g_sent.size(), 1u);
    EXPECT_EQ(g_sent[0], (MacBytes{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CliWake, FailedSendIsSilentButNotSuccess) {
    for (int code : {SEND_ERR_SOCKET, SEND_ERR_BROADCAST, SEND_ERR_SENDTO}) {
        g_result = code;
        EXPECT_EQ(Run("00-11-22-33-44-55", messages, FakeSend), CLI_EXIT_SEND_FAILED);
    }
    EXPECT_TRUE(messages.shown.empty());
}

// A mistyped address keeps its address message, any other unknown text the
// name's; quotes and blanks around a text are a batch file's. "MAC DEST[:PORT]"
// sends there, DEST in the names' code page (the fake codec marks it); one
// that does not resolve prints a line, never a box. A lone MAC address ignores
// what its PC keeps; a PC named by such a text is woken as today. Each PC
// of a name goes through what is kept for its MAC, and the others still go
// when one's destination does not resolve.
TEST_F(CliWake, EachTextSendsOrShowsOneMessage) {
    const CliExit sent = CLI_EXIT_SENT, failed = CLI_EXIT_SEND_FAILED, bad = CLI_EXIT_BAD_ADDRESS;
    const struct {
        const char* text;
        CliExit exit;
        std::vector<std::string> sentTo;
        std::vector<unsigned> shown;
    } cases[] = {
        {"00-00-00-00-00-01 ", sent, {":0"}, {}},
        {"00-11-22-33-44-55 NAS", sent, {"192.0.2.255:9"}, {}},
        {"lab", failed, {":0", "192.0.2.255:9", "no-such-pc:0", "error no-such-pc", ":40000"}, {}},
        {" \"00-11-22-33-44-55\"\t", sent, {":0"}, {}},
        {"00-11-22-33-44-55 192.0.2.255", sent, {"<192.0.2.255>:0"}, {}},
        {"00-11-22-33-44-55\t router.example.net:9", sent, {"<router.example.net>:9"}, {}},
        {" \"00-11-22-33-44-55 pc_2.example:65535\" ", sent, {"<pc_2.example>:65535"}, {}},
        {"00-11-22-33-44-55 \x83\x41\x83\x5C", sent, {"<\x83\x41\x83\x5C>:0"}, {}},
        {"00-11-22-33-44-55 no-such-pc:9", failed, {"<no-such-pc>:9", "error <no-such-pc>"}, {}},
        {"00-11-22-33-44-55 66-77-88-99-AA-BB", bad, {}, {IDS_MAC_LENGTH}},
        {"00-11-22-33-44-55 192.0.2.255:0", bad, {}, {IDS_MAC_LENGTH}},
        {"00:11:22:33:44:55", bad, {}, {IDS_MAC_SEPARATOR}},
        {"00-11-22-33-44-5G", bad, {}, {IDS_MAC_DIGIT}},
        {"\"\"", bad, {}, {IDS_MAC_SEPARATOR}},
        {"/?", bad, {}, {IDS_NAME_NOT_FOUND}},
        {"00-11-22-33-44-55 pc x", bad, {}, {IDS_NAME_NOT_FOUND}},
        {"00:11:22:33:44:55 pc", bad, {}, {IDS_NAME_NOT_FOUND}},
        {"\"STUDY-PC-2\" ", bad, {}, {IDS_NAME_NOT_FOUND}},
    };
    const PcAddresses kept[] = {
        {"192.0.2.10", "", 0}, {"", "192.0.2.255", 9}, {"", "no-such-pc", 0}, {"", "", 40000}};
    for (std::uint8_t i = 0; i < 4; ++i) {
        g_list.Append({"lab", {i}});
        g_book[{i}] = kept[i];
    }
    g_list.Append({"00-11-22-33-44-55 nas", {1}});
    for (const auto& c : cases) {
        messages.shown.clear();
        g_sentTo.clear();
        EXPECT_EQ(Run(c.text, messages, FakeSend), c.exit) << c.text;
        EXPECT_EQ(g_sentTo, c.sentTo) << c.text;
        EXPECT_EQ(messages.shown, c.shown) << c.text;
    }
    EXPECT_EQ(g_sent.back(), (MacBytes{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
    EXPECT_EQ(pause.waits, 5u); // the named PCs' only
    EXPECT_EQ(messages.texts.back(), "<STUDY-PC-2>|C:\\PCs");
    // The window's changes are not in the file yet: the message says so.
    g_windowOpen = true;
    EXPECT_EQ(Run("STUDY-PC-2", messages, FakeSend), CLI_EXIT_BAD_ADDRESS);
    EXPECT_EQ(messages.shown.back(), IDS_NAME_NOT_FOUND_OPEN);
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
        EXPECT_EQ(Run("00-11-22-33-44-55", seen, FakeSend), CLI_EXIT_SENT);
        EXPECT_EQ(g_stationQueries, 0); // nothing to show, nothing asked
        EXPECT_EQ(Run("00:11", seen, FakeSend), CLI_EXIT_BAD_ADDRESS);
        EXPECT_EQ(seen.Confirm(IDS_CONFIRM_SEND), c.shown);
        EXPECT_EQ(g_stationQueries, 1);
        EXPECT_EQ(messages.shown.size(), c.shown ? 2u : 0u) << c.flags;
    }
}

TEST_F(CliWake, ShortLastGroupIsSent) {
    EXPECT_EQ(Run("00-11-22-33-44-5", messages, FakeSend), CLI_EXIT_SENT);
    ASSERT_EQ(g_sent.size(), 1u);
    EXPECT_EQ(g_sent[0][5], 0x05);
}

// A text that is no MAC address wakes the PCs of that name, paced as the send
// dialog paces; one a MAC address could be is always the address.
TEST_F(CliWake, NameWakesEveryPcOfThatNameInListOrder) {
    g_list.Append({"00-11-22-33-44-55", {9, 9, 9, 9, 9, 9}});
    g_list.Append({"Room \x83\x41", {1}});
    g_list.Append({"other", {2}});
    g_list.Append({"ROOM \x83\x41", {3}});
    g_list.Append({"Room \x83\x61", {4}});
    EXPECT_EQ(Run(" \" room \x83\x41\" ", messages, FakeSend), CLI_EXIT_SENT);
    EXPECT_EQ(g_sent, (std::vector<MacBytes>{{1}, {3}}));
    EXPECT_EQ(pause.waits, 2u);
    EXPECT_TRUE(messages.shown.empty());
    g_sent.clear();
    EXPECT_EQ(Run("00-11-22-33-44-55", messages, FakeSend), CLI_EXIT_SENT);
    EXPECT_EQ(g_sent, (std::vector<MacBytes>{{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}}));

    g_result = SEND_ERR_SENDTO;
    EXPECT_EQ(Run("Other", messages, FakeSend), CLI_EXIT_SEND_FAILED);
    g_result = SEND_OK;
    pause.waitsBeforeAbort = pause.waits + 1;
    EXPECT_EQ(Run("room \x83\x41", messages, FakeSend), CLI_EXIT_SEND_FAILED);
    for (const char* text : {"Room", "room \x83\x61x"}) {
        EXPECT_EQ(Run(text, messages, FakeSend), CLI_EXIT_BAD_ADDRESS);
    }
    EXPECT_EQ(messages.shown, (std::vector<unsigned>(2, IDS_NAME_NOT_FOUND)));
    EXPECT_EQ(g_sent.size(), 3u);
}

} // namespace
} // namespace kivrel
