#include "res/resource.h"
#include "status/diagnosis.h"
#include "status/mac_lookup.h"
#include "wake/wake_packet.h"
#include "wake/wake_sender.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace kivrel {
namespace {

TEST(WakePacket, SixSyncBytesThenSixteenCopies) {
    WakePacket packet;
    packet.fill(0x11);
    BuildWakePacket(packet, MacBytes{0x00, 0x11, 0x22, 0x33, 0x44, 0x55});
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(packet[i], 0xFF);
    }
    for (std::size_t i = 6; i < kWakePacketSize; ++i) {
        EXPECT_EQ(packet[i], 0x11 * ((i - 6) % 6)) << i;
    }
    EXPECT_EQ(packet[101], 0x55);

    BuildWakePacket(packet, MacBytes{});
    for (std::size_t i = 6; i < kWakePacketSize; ++i) {
        EXPECT_EQ(packet[i], 0);
    }
}

// Records every call and fails the one it is told to: socket n (in order of
// opening) fails as m_fails[n], the last entry holding for every later one.
class FakeSocketOps final : public SocketOps {
public:
    enum Fail { kNone, kOpen, kBroadcast, kBind, kSendError, kSendShort };
    explicit FakeSocketOps(Fail fail) : m_fails{fail} {}

    bool AdapterAddresses(std::vector<std::uint32_t>& addresses) override {
        addresses = m_adapters;
        return m_listed;
    }
    // Two LANs, 192.0.2.0/24 and 198.51.100.0/24, when read; two names known.
    bool AdapterSubnets(std::vector<Subnet>& subnets) override {
        subnets = {{0xC0000201, 24}, {0xC6336401, 24}};
        return m_subnetsListed;
    }
    bool Resolve(const std::string& name, std::uint32_t& address) override {
        m_calls.push_back("resolve " + name);
        address = name == "near-pc" ? 0xC000020A : 0xCB00710A; // 192.0.2.10, 203.0.113.10
        return name == "near-pc" || name == "far-pc";
    }
    Handle OpenUdp() override {
        m_calls.push_back("open");
        m_from = 0;
        m_fail = m_fails[std::min(m_opened++, m_fails.size() - 1)];
        if (m_fail == kOpen) {
            return kInvalid;
        }
        ++m_open;
        return 42;
    }
    bool EnableBroadcast(Handle s) override {
        m_calls.push_back("broadcast");
        EXPECT_EQ(s, 42u);
        return m_fail != kBroadcast;
    }
    bool Bind(Handle s, std::uint32_t address) override {
        m_calls.push_back("bind");
        EXPECT_EQ(s, 42u);
        m_bound.push_back(address);
        m_from = address;
        return m_fail != kBind;
    }
    long SendTo(Handle s, const std::uint8_t* data, std::size_t size, std::uint32_t address,
                std::uint16_t port) override {
        m_calls.push_back("send");
        EXPECT_EQ(s, 42u);
        m_sent.assign(data, data + size);
        m_address = address;
        m_port = port;
        m_datagrams.push_back(Dotted(address) + ':' + std::to_string(port) +
                              (m_from != 0 ? " via " + Dotted(m_from) : ""));
        if (m_fail == kSendError) {
            return -1;
        }
        return m_fail == kSendShort ? static_cast<long>(size) - 1 : static_cast<long>(size);
    }
    void Close(Handle s) override {
        m_calls.push_back("close");
        EXPECT_EQ(s, 42u);
        --m_open;
    }

    std::vector<Fail> m_fails;
    Fail m_fail = kNone;
    std::size_t m_opened = 0;
    int m_open = 0;
    std::vector<std::uint32_t> m_adapters; // none: the unbound send
    bool m_listed = true;
    std::vector<std::uint32_t> m_bound;
    std::vector<std::string> m_calls;
    std::vector<std::uint8_t> m_sent;
    std::uint32_t m_address = 0;
    std::uint16_t m_port = 0;
    bool m_subnetsListed = true;
    // Every datagram sent, whole or not: "to:port" ("all" the limited broadcast),
    // and " via" the adapter bound.
    std::vector<std::string> m_datagrams;
    std::uint32_t m_from = 0;

    static std::string Dotted(std::uint32_t a) {
        return a == 0xFFFFFFFF
                   ? "all"
                   : std::to_string(a >> 24) + '.' + std::to_string(a >> 16 & 255) + '.' +
                         std::to_string(a >> 8 & 255) + '.' + std::to_string(a & 255);
    }
};

const MacBytes kMac = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};

TEST(WakeSender, SendsTheWholePacketToTheLimitedBroadcastOnPort7) {
    FakeSocketOps ops(FakeSocketOps::kNone);
    EXPECT_EQ(SendWakePacket(kMac, ops), SEND_OK);
    EXPECT_EQ(ops.m_calls, (std::vector<std::string>{"open", "broadcast", "send", "close"}));
    WakePacket expected;
    BuildWakePacket(expected, kMac);
    EXPECT_EQ(ops.m_sent, std::vector<std::uint8_t>(expected.begin(), expected.end()));
    EXPECT_EQ(ops.m_address, 0xFFFFFFFFu);
    EXPECT_EQ(ops.m_port, 7);
    EXPECT_EQ(ops.m_open, 0);
    EXPECT_TRUE(ops.m_bound.empty());
}

TEST(WakeSender, EachFailureHasItsCodeAndClosesTheSocket) {
    struct Case {
        FakeSocketOps::Fail fail;
        int result;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {FakeSocketOps::kOpen, SEND_ERR_SOCKET, {"open"}},
        {FakeSocketOps::kBroadcast, SEND_ERR_BROADCAST, {"open", "broadcast", "close"}},
        {FakeSocketOps::kSendError, SEND_ERR_SENDTO, {"open", "broadcast", "send", "close"}},
        {FakeSocketOps::kSendShort, SEND_ERR_SENDTO, {"open", "broadcast", "send", "close"}},
    };
    for (const Case& c : cases) {
        FakeSocketOps ops(c.fail);
        EXPECT_EQ(SendWakePacket(kMac, ops), c.result) << c.fail;
        EXPECT_EQ(ops.m_calls, c.calls) << c.fail;
        EXPECT_EQ(ops.m_open, 0) << c.fail;
    }
}

TEST(WakeSender, OneCopyThroughEachAdapterOrOneUnboundIfTheyCannotBeRead) {
    FakeSocketOps ops(FakeSocketOps::kNone);
    ops.m_adapters = {0xC0000201, 0xC6336401};
    EXPECT_EQ(SendWakePacket(kMac, ops), SEND_OK);
    const std::vector<std::string> once = {"open", "broadcast", "bind", "send", "close"};
    std::vector<std::string> twice = once;
    twice.insert(twice.end(), once.begin(), once.end());
    EXPECT_EQ(ops.m_calls, twice);
    EXPECT_EQ(ops.m_bound, ops.m_adapters);

    FakeSocketOps unread(FakeSocketOps::kNone);
    unread.m_adapters = ops.m_adapters;
    unread.m_listed = false;
    EXPECT_EQ(SendWakePacket(kMac, unread), SEND_OK);
    EXPECT_EQ(unread.m_calls, (std::vector<std::string>{"open", "broadcast", "send", "close"}));
}

TEST(WakeSender, OneCopySentIsEnoughElseAnUnboundCopyThenTheFirstFailureCounts) {
    using F = FakeSocketOps;
    struct Case {
        std::vector<F::Fail> fails; // the fourth socket, if any, is the unbound copy
        int result;
        std::size_t opened;
    };
    const Case cases[] = {
        {{F::kSendError, F::kNone}, SEND_OK, 3},
        {{F::kNone, F::kBind}, SEND_OK, 3},
        {{F::kBind, F::kSendShort, F::kNone}, SEND_OK, 3},
        {{F::kBind, F::kSendError, F::kOpen}, SEND_ERR_SOCKET, 4},
        {{F::kSendShort, F::kOpen, F::kBind}, SEND_OK, 4},
        {{F::kBroadcast, F::kOpen, F::kSendError}, SEND_ERR_BROADCAST, 4},
    };
    for (const Case& c : cases) {
        FakeSocketOps ops(F::kNone);
        ops.m_fails = c.fails;
        ops.m_adapters = {1, 2, 3};
        EXPECT_EQ(SendWakePacket(kMac, ops), c.result) << c.fails[0];
        EXPECT_EQ(ops.m_opened, c.opened) << "every adapter is tried";
        EXPECT_EQ(ops.m_open, 0) << c.fails[0];
    }
}

TEST(WakeSender, CallsShareNothing) {
    FakeSocketOps ops(FakeSocketOps::kNone);
    EXPECT_EQ(SendWakePacket(kMac, ops), SEND_OK);
    EXPECT_EQ(SendWakePacket(MacBytes{}, ops), SEND_OK);
    EXPECT_EQ(ops.m_calls.size(), 8u);
    EXPECT_EQ(ops.m_sent[6], 0);
    EXPECT_EQ(ops.m_open, 0);
}

// A PC with no destination sends what a wake sent before destinations were
// kept, call for call and byte for byte; each other kind of PC its own.
TEST(WakeTargets, WhichDatagramsEachKindOfPcGets) {
    using Sent = std::vector<std::string>;
    const struct {
        WakeTarget target;
        int result;
        Sent sent;
    } cases[] = {
        {{kMac, "", 0}, SEND_OK, {"all:7 via 192.0.2.1", "all:7 via 198.51.100.1"}},
        {{kMac, "", 9}, SEND_OK, {"all:9 via 192.0.2.1", "all:9 via 198.51.100.1"}},
        // Far: another subnet's broadcast address, or a name; the system's route.
        {{kMac, "203.0.113.255", 0}, SEND_OK, {"203.0.113.255:7"}},
        {{kMac, "far-pc", 40000}, SEND_OK, {"203.0.113.10:40000"}},
        // On an own subnet, its broadcast address too: the LAN broadcast as well.
        {{kMac, "near-pc", 9},
         SEND_OK,
         {"192.0.2.10:9", "all:9 via 192.0.2.1", "all:9 via 198.51.100.1"}},
        {{kMac, "198.51.100.255", 0},
         SEND_OK,
         {"198.51.100.255:7", "all:7 via 192.0.2.1", "all:7 via 198.51.100.1"}},
        {{kMac, "no-such-pc", 9}, SEND_ERR_NO_DESTINATION, {}},
    };
    for (const auto& c : cases) {
        FakeSocketOps ops(FakeSocketOps::kNone);
        ops.m_adapters = {0xC0000201, 0xC6336401};
        EXPECT_EQ(SendWake(c.target, ops), c.result) << c.target.destination;
        EXPECT_EQ(ops.m_datagrams, c.sent) << c.target.destination;
        EXPECT_EQ(ops.m_open, 0);
        // Broadcasts allowed on every socket, a name asked at the send only.
        EXPECT_EQ(std::count(ops.m_calls.begin(), ops.m_calls.end(), "broadcast"),
                  static_cast<long>(c.sent.size()));
        const bool name = std::isalpha(static_cast<unsigned char>(c.target.destination[0]));
        EXPECT_EQ(ops.m_calls.front() == "resolve " + c.target.destination, name);
        if (c.target.destination.empty() && c.target.port == 0) {
            FakeSocketOps before(FakeSocketOps::kNone);
            before.m_adapters = ops.m_adapters;
            SendWakePacket(kMac, before);
            EXPECT_EQ(ops.m_calls, before.m_calls);
            EXPECT_EQ(ops.m_datagrams, before.m_datagrams);
            EXPECT_EQ(ops.m_sent, before.m_sent);
        }
    }
}

// Any copy taken whole is a wake sent, else the destination's failure;
// subnets that cannot be read make every destination a far one.
TEST(WakeTargets, FailuresOfTheDestinationAndOfTheLanBroadcast) {
    using F = FakeSocketOps;
    const struct {
        const char* destination;
        std::vector<F::Fail> fails; // the destination's socket first
        int result;
    } cases[] = {
        {"203.0.113.255", {F::kBroadcast}, SEND_ERR_BROADCAST},
        {"192.0.2.10", {F::kSendError, F::kNone}, SEND_OK},
        {"192.0.2.10", {F::kNone, F::kOpen}, SEND_OK},
        {"192.0.2.10", {F::kOpen, F::kSendShort}, SEND_ERR_SOCKET},
    };
    for (const auto& c : cases) {
        FakeSocketOps ops(F::kNone);
        ops.m_adapters = {1};
        ops.m_fails = c.fails;
        EXPECT_EQ(SendWake(WakeTarget{kMac, c.destination, 0}, ops), c.result) << c.fails[0];
        EXPECT_EQ(ops.m_open, 0);
    }
    FakeSocketOps unread(F::kNone);
    unread.m_subnetsListed = false;
    EXPECT_EQ(SendWake(WakeTarget{kMac, "192.0.2.10", 0}, unread), SEND_OK);
    EXPECT_EQ(unread.m_datagrams, std::vector<std::string>{"192.0.2.10:7"});
}

TEST(MacLookup, AddressesAndSubnets) {
    std::uint32_t a = 7;
    EXPECT_TRUE(ParseIpv4("192.0.2.10", a));
    EXPECT_EQ(a, 0xC000020Au);
    EXPECT_TRUE(ParseIpv4("0.0.0.0", a) && a == 0);
    for (const char* bad : {"", "1.2.3", "1.2.3.4.", "1.2.3.256", "01.2.3.4", "1.2.3.4 ", "1..3.4",
                            "1.2.3.-4", "1.2.3.1234", "pc-1"}) {
        EXPECT_FALSE(ParseIpv4(bad, a)) << bad;
    }
    const std::vector<Subnet> nets = {{0xC0000201, 24}, {0x0A000001, 0}, {0xC6336401, 32}};
    for (std::uint32_t in : {0xC0000202u, 0xC00002FEu, 0xC6336401u}) {
        EXPECT_TRUE(OnLocalSubnet(in, nets)) << std::hex << in;
    }
    // Network and broadcast addresses, a /0 and the next /24 are no PC here.
    for (std::uint32_t out : {0xC0000200u, 0xC00002FFu, 0x0A000002u, 0xC0000302u}) {
        EXPECT_FALSE(OnLocalSubnet(out, nets)) << std::hex << out;
    }
}

// Which rows are usable is the status checks' rule, tested with them.
TEST(MacLookup, OnlyAUsableRowForTheAddressAnswers) {
    const MacBytes mac = {0x02, 0x11, 0x22, 0x33, 0x44, 0x55};
    std::vector<NeighbourEntry> rows = {{1, mac, true, false, 0}, {2, mac, true, true, 0}};
    MacBytes got{};
    EXPECT_FALSE(FindNeighbourMac(2, rows, got)); // another address, and one unreachable
    rows.push_back({2, mac, true, false, 0});
    EXPECT_TRUE(FindNeighbourMac(2, rows, got));
    EXPECT_EQ(got, mac);
}

class FakeLookupOps final : public LookupOps {
public:
    // The name's first address is on no network here, its second is.
    bool Resolve(const std::string& name, std::vector<std::uint32_t>& addresses) override {
        addresses = {0xC6336407, 0xC000020A};
        return name == "study-pc";
    }
    bool ReadSubnets(std::vector<Subnet>& subnets) override {
        subnets = {{0xC0000201, 24}};
        return subnetsReadable;
    }
    ArpResult AskArp(std::uint32_t, MacBytes& mac) override {
        mac = arpMac;
        return arp;
    }
    void Echo(std::uint32_t address) override { echoed.push_back(address); }
    bool ReadNeighbours(std::vector<NeighbourEntry>& rows) override {
        rows = router;
        if (++reads == answerAt) {
            rows.push_back({0xC000020A, kFound, true, false, sinceReachable});
        }
        return tableReadable;
    }
    void Pause(unsigned ms) override { paused += ms; }
    bool ReadGateways(std::vector<std::uint32_t>& gateways) override {
        gateways = {0xC0000201};
        return true;
    }

    static constexpr MacBytes kFound = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    ArpResult arp = ARP_UNSUPPORTED;
    MacBytes arpMac = kFound;
    bool tableReadable = true;
    std::uint32_t sinceReachable = 0;
    std::vector<NeighbourEntry> router;
    bool subnetsReadable = true;
    int answerAt = 3, reads = 0;
    unsigned paused = 0;
    std::vector<std::uint32_t> echoed;
};

TEST(MacLookup, EachOutcomeAndItsMessage) {
    FakeLookupOps ops;
    EXPECT_EQ(FindMac("other-pc", ops).result, LOOKUP_NO_NAME);
    EXPECT_EQ(FindMac("198.51.100.7", ops).result, LOOKUP_OFF_SUBNET);
    EXPECT_EQ(LookupMessageId(LOOKUP_OFF_SUBNET), unsigned(IDS_LOOKUP_OFF_SUBNET));
    ops.subnetsReadable = false; // nothing known of this PC's networks: nothing is sent
    EXPECT_EQ(FindMac("192.0.2.10", ops).result, LOOKUP_OFF_SUBNET);
    ops.subnetsReadable = true;
    EXPECT_TRUE(ops.echoed.empty());
    // Where the system cannot ask itself: one echo, then the table until it answers.
    Lookup found = FindMac("study-pc", ops);
    EXPECT_EQ(found.result, LOOKUP_FOUND);
    EXPECT_EQ(found.mac, FakeLookupOps::kFound);
    EXPECT_EQ(found.hostName, "study-pc");
    EXPECT_EQ(ops.echoed, std::vector<std::uint32_t>{0xC000020A});
    EXPECT_EQ(ops.paused, 200u);
    // Silence gives up after about a second, with no MAC.
    ops.answerAt = 0;
    found = FindMac("192.0.2.10", ops);
    EXPECT_EQ(found.result, LOOKUP_NO_ANSWER);
    EXPECT_EQ(found.mac, MacBytes{});
    EXPECT_EQ(found.hostName, "");
    EXPECT_EQ(ops.paused, 1200u);
    // A row the table only remembers is no answer: the PC may be long gone.
    ops.answerAt = ops.reads + 1;
    ops.sinceReachable = 60000;
    EXPECT_EQ(FindMac("192.0.2.10", ops).result, LOOKUP_NO_ANSWER);
    // Without a table, the system's own ARP call answers.
    ops.tableReadable = false;
    ops.arp = ARP_NO_ANSWER;
    EXPECT_EQ(FindMac("192.0.2.10", ops).result, LOOKUP_NO_ANSWER);
    ops.arp = ARP_FOUND;
    EXPECT_EQ(FindMac("192.0.2.10", ops).mac, FakeLookupOps::kFound);
    EXPECT_EQ(ops.echoed.size(), 5u);
    // A made-up MAC is kept with a warning; the router's is refused.
    EXPECT_EQ(FindMac("192.0.2.10", ops).warningId, 0u);
    ops.arpMac[0] = 0x02;
    EXPECT_EQ(FindMac("192.0.2.10", ops).warningId, unsigned(IDS_LOOKUP_LOCAL_MAC));
    ops.tableReadable = true;
    ops.answerAt = ops.reads + 1;
    ops.sinceReachable = 0;
    ops.router = {{0xC0000201, FakeLookupOps::kFound, true, false, 0}};
    found = FindMac("192.0.2.10", ops);
    EXPECT_EQ(std::make_pair(found.result, found.mac), std::make_pair(LOOKUP_GATEWAY, MacBytes{}));
}

// Each cause gives its line only where it applies; the checklist always ends it.
TEST(Diagnosis, EachLineOnlyWhereItApplies) {
    const auto ids = [](const DiagnosisFacts& facts) {
        std::vector<unsigned> found;
        for (const DiagnosisLine& line : Diagnose(facts)) {
            found.push_back(line.textId);
        }
        return found;
    };
    DiagnosisFacts pc;
    pc.mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    pc.subnets = {{0xC0000201, 24}};
    pc.resolved = true;
    pc.ipv4 = 0xC0000205;
    pc.checks.echoed = pc.checks.answered = true;
    EXPECT_EQ(ids(pc), std::vector<unsigned>{IDS_DIAG_CHECKLIST});
    pc.ipv4 = 0xC6336405;
    pc.destination = "198.51.100.255";
    EXPECT_EQ(ids(pc), std::vector<unsigned>{IDS_DIAG_CHECKLIST});
    pc.destination.clear();
    pc.mac[0] = 0x02;
    pc.gateways = {0xC0000201};
    pc.neighbours = {{0xC0000201, pc.mac, true, false, 0}};
    pc.checks = {true, false, true, {0x00, 0x11, 0x22, 0x33, 0x44, 0x55}};
    pc.wake = {true, "2026/12/10 9:00", {0xC0000202, 0xC6336402}, "", false};
    const std::vector<DiagnosisLine> lines = Diagnose(pc);
    EXPECT_EQ(ids(pc),
              (std::vector<unsigned>{IDS_DIAG_OFF_NETWORK, IDS_DIAG_LOCAL_MAC, IDS_DIAG_GATEWAY_MAC,
                                     IDS_DIAG_OTHER_DEVICE, IDS_DIAG_NO_ECHO,
                                     IDS_DIAG_LAST_WAKE_ADAPTERS, IDS_DIAG_CHECKLIST}));
    EXPECT_EQ(lines[2].args, (std::vector<std::string>{"02-1A-2B-3C-4D-5E", "192.0.2.1"}));
    EXPECT_EQ(lines[3].args, (std::vector<std::string>{"198.51.100.5", "00-11-22-33-44-55"}));
    EXPECT_EQ(lines[5].args,
              (std::vector<std::string>{"2026/12/10 9:00", "192.0.2.2, 198.51.100.2"}));
    EXPECT_EQ(lines[5].argId, unsigned(IDS_SEND_FAILED));
    pc.wake.destination = DestinationText(PcAddresses{"", "198.51.100.255", 9});
    EXPECT_EQ(Diagnose(pc)[5].textId, unsigned(IDS_DIAG_LAST_WAKE_DESTINATION));
    EXPECT_EQ(Diagnose(pc)[5].args[1], "198.51.100.255:9");
}

} // namespace
} // namespace kivrel
