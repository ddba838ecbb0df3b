#include "res/resource.h"
#include "status/mac_lookup.h"
#include "wake/wake_packet.h"
#include "wake/wake_sender.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <ostream>
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
    bool AdapterSubnets(std::vector<Subnet>& subnets) override {
        m_calls.push_back("subnets");
        subnets = m_subnets;
        return m_subnetsListed;
    }
    bool Resolve(const std::string& name, std::uint32_t& address) override {
        m_calls.push_back("resolve " + name);
        const auto found = m_names.find(name);
        if (found == m_names.end()) {
            return false;
        }
        address = found->second;
        return true;
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
        m_datagrams.push_back({address, port, m_from});
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
    std::vector<Subnet> m_subnets;
    bool m_subnetsListed = true;
    std::map<std::string, std::uint32_t> m_names;
    // Every datagram sent, whole or not: to, port, and the adapter bound (0: none).
    struct Datagram {
        std::uint32_t to;
        std::uint16_t port;
        std::uint32_t from;
        bool operator==(const Datagram& o) const {
            return to == o.to && port == o.port && from == o.from;
        }
    };
    std::vector<Datagram> m_datagrams;
    std::uint32_t m_from = 0;
};

std::ostream& operator<<(std::ostream& out, const FakeSocketOps::Datagram& d) {
    return out << std::hex << d.to << ':' << std::dec << d.port << " from " << std::hex << d.from;
}

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

using Datagrams = std::vector<FakeSocketOps::Datagram>;
constexpr std::uint32_t kAdapterA = 0xC0000201; // 192.0.2.1/24
constexpr std::uint32_t kAdapterB = 0xC6336401; // 198.51.100.1/24

// This PC as the destination tests see it: two LANs, and one name known.
void TwoLans(FakeSocketOps& ops) {
    ops.m_adapters = {kAdapterA, kAdapterB};
    ops.m_subnets = {{kAdapterA, 24}, {kAdapterB, 24}};
    ops.m_names = {{"far-pc.example", 0xCB00710A}, {"near-pc", 0xC000020A}};
}

// A PC with no destination sends what a wake sent before destinations were
// kept, call for call and byte for byte, with or without adapters.
TEST(WakeTargets, NoDestinationSendsTodaysWake) {
    for (const bool adapters : {false, true}) {
        FakeSocketOps before(FakeSocketOps::kNone);
        FakeSocketOps now(FakeSocketOps::kNone);
        if (adapters) {
            TwoLans(before);
            TwoLans(now);
        }
        EXPECT_EQ(SendWakePacket(kMac, before), SEND_OK);
        EXPECT_EQ(SendWake(WakeTarget{kMac, "", 0}, now), SEND_OK);
        EXPECT_EQ(now.m_calls, before.m_calls);
        EXPECT_EQ(now.m_datagrams, before.m_datagrams);
        EXPECT_EQ(now.m_sent, before.m_sent);
    }
    FakeSocketOps ops(FakeSocketOps::kNone);
    TwoLans(ops);
    EXPECT_EQ(SendWake(WakeTarget{kMac, "", 0}, ops), SEND_OK);
    EXPECT_EQ(ops.m_datagrams,
              (Datagrams{{kLimitedBroadcast, 7, kAdapterA}, {kLimitedBroadcast, 7, kAdapterB}}));
}

TEST(WakeTargets, APortAloneSendsTheLanBroadcastToIt) {
    FakeSocketOps ops(FakeSocketOps::kNone);
    TwoLans(ops);
    EXPECT_EQ(SendWake(WakeTarget{kMac, "", 9}, ops), SEND_OK);
    EXPECT_EQ(ops.m_datagrams,
              (Datagrams{{kLimitedBroadcast, 9, kAdapterA}, {kLimitedBroadcast, 9, kAdapterB}}));
}

// Another subnet's broadcast address, or a far PC by name: one datagram there,
// through the system's route, broadcasts allowed; port 7 unless given.
TEST(WakeTargets, AFarDestinationGetsOneDatagramAndNothingElse) {
    const struct {
        const char* destination;
        std::uint16_t port;
        Datagrams sent;
    } cases[] = {
        {"203.0.113.255", 0, {{0xCB0071FF, 7, 0}}},
        {"203.0.113.255", 9, {{0xCB0071FF, 9, 0}}},
        {"far-pc.example", 40000, {{0xCB00710A, 40000, 0}}},
    };
    for (const auto& c : cases) {
        FakeSocketOps ops(FakeSocketOps::kNone);
        TwoLans(ops);
        EXPECT_EQ(SendWake(WakeTarget{kMac, c.destination, c.port}, ops), SEND_OK);
        EXPECT_EQ(ops.m_datagrams, c.sent) << c.destination;
        EXPECT_EQ(std::count(ops.m_calls.begin(), ops.m_calls.end(), "broadcast"), 1);
        WakePacket expected;
        BuildWakePacket(expected, kMac);
        EXPECT_EQ(ops.m_sent, std::vector<std::uint8_t>(expected.begin(), expected.end()));
        EXPECT_EQ(ops.m_open, 0);
    }
    // An address is never asked of the resolver; a name is, at the send.
    FakeSocketOps ops(FakeSocketOps::kNone);
    TwoLans(ops);
    SendWake(WakeTarget{kMac, "203.0.113.255", 0}, ops);
    EXPECT_EQ(ops.m_calls.front(), "open");
    ops.m_calls.clear();
    SendWake(WakeTarget{kMac, "far-pc.example", 0}, ops);
    EXPECT_EQ(ops.m_calls.front(), "resolve far-pc.example");
}

// A PC on one of this PC's own subnets may not answer for its address while
// it sleeps: it gets the LAN broadcast too, on its port. The subnet's own
// broadcast address counts as on it; subnets that cannot be read, as far.
TEST(WakeTargets, ADestinationOnAnOwnSubnetGetsTheLanBroadcastToo) {
    const struct {
        const char* destination;
        std::uint32_t to;
    } cases[] = {
        {"192.0.2.10", 0xC000020A}, {"near-pc", 0xC000020A}, {"198.51.100.255", 0xC63364FF}};
    for (const auto& c : cases) {
        FakeSocketOps ops(FakeSocketOps::kNone);
        TwoLans(ops);
        EXPECT_EQ(SendWake(WakeTarget{kMac, c.destination, 9}, ops), SEND_OK);
        EXPECT_EQ(ops.m_datagrams, (Datagrams{{c.to, 9, 0},
                                              {kLimitedBroadcast, 9, kAdapterA},
                                              {kLimitedBroadcast, 9, kAdapterB}}))
            << c.destination;
    }
    FakeSocketOps unread(FakeSocketOps::kNone);
    TwoLans(unread);
    unread.m_subnetsListed = false;
    EXPECT_EQ(SendWake(WakeTarget{kMac, "192.0.2.10", 0}, unread), SEND_OK);
    EXPECT_EQ(unread.m_datagrams, (Datagrams{{0xC000020A, 7, 0}}));
}

TEST(WakeTargets, ANameThatDoesNotResolveSendsNothing) {
    for (const char* name : {"no-such-pc", "192.0.2.256", "192.0.2.1 "}) {
        FakeSocketOps ops(FakeSocketOps::kNone);
        TwoLans(ops);
        EXPECT_EQ(SendWake(WakeTarget{kMac, name, 0}, ops), SEND_ERR_NO_DESTINATION) << name;
        EXPECT_EQ(ops.m_calls, std::vector<std::string>{std::string("resolve ") + name});
    }
}

// Any copy taken whole is a wake sent; otherwise the destination's failure.
TEST(WakeTargets, FailuresOfTheDestinationAndOfTheLanBroadcast) {
    using F = FakeSocketOps;
    const struct {
        const char* destination;
        std::vector<F::Fail> fails; // the destination's socket first
        int result;
    } cases[] = {
        {"203.0.113.255", {F::kSendShort}, SEND_ERR_SENDTO},
        {"203.0.113.255", {F::kBroadcast}, SEND_ERR_BROADCAST},
        {"192.0.2.10", {F::kSendError, F::kNone}, SEND_OK},
        {"192.0.2.10", {F::kNone, F::kOpen}, SEND_OK},
        {"192.0.2.10", {F::kOpen, F::kSendError}, SEND_ERR_SOCKET},
    };
    for (const auto& c : cases) {
        FakeSocketOps ops(F::kNone);
        TwoLans(ops);
        ops.m_fails = c.fails;
        EXPECT_EQ(SendWake(WakeTarget{kMac, c.destination, 0}, ops), c.result) << c.fails[0];
        EXPECT_EQ(ops.m_open, 0);
    }
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
    // But the first two are on the subnet, where a wake may go.
    for (std::uint32_t in : {0xC0000200u, 0xC00002FFu, 0xC0000202u, 0xC6336401u}) {
        EXPECT_TRUE(WithinSubnets(in, nets)) << std::hex << in;
    }
    for (std::uint32_t out : {0x0A000002u, 0xC0000302u, 0xC6336402u}) {
        EXPECT_FALSE(WithinSubnets(out, nets)) << std::hex << out;
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
    bool Resolve(const std::string& name, std::uint32_t& address) override {
        address = 0xC000020A;
        return name == "study-pc";
    }
    bool ReadSubnets(std::vector<Subnet>& subnets) override {
        subnets = {{0xC0000201, 24}};
        return true;
    }
    ArpResult AskArp(std::uint32_t, MacBytes& mac) override {
        mac = kFound;
        return arp;
    }
    void Echo(std::uint32_t address) override { echoed.push_back(address); }
    bool ReadNeighbours(std::vector<NeighbourEntry>& rows) override {
        if (++reads == answerAt) {
            rows = {{0xC000020A, kFound, true, false, 0}};
        }
        return true;
    }
    void Pause(unsigned ms) override { paused += ms; }

    static constexpr MacBytes kFound = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    ArpResult arp = ARP_UNSUPPORTED;
    int answerAt = 3, reads = 0;
    unsigned paused = 0;
    std::vector<std::uint32_t> echoed;
};

TEST(MacLookup, EachOutcomeAndItsMessage) {
    FakeLookupOps ops;
    EXPECT_EQ(FindMac("other-pc", ops).result, LOOKUP_NO_NAME);
    EXPECT_EQ(FindMac("198.51.100.7", ops).result, LOOKUP_OFF_SUBNET);
    EXPECT_EQ(LookupMessageId(LOOKUP_OFF_SUBNET), unsigned(IDS_LOOKUP_OFF_SUBNET));
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
    ops.arp = ARP_NO_ANSWER;
    EXPECT_EQ(FindMac("192.0.2.10", ops).result, LOOKUP_NO_ANSWER);
    ops.arp = ARP_FOUND;
    EXPECT_EQ(FindMac("192.0.2.10", ops).mac, FakeLookupOps::kFound);
    EXPECT_EQ(ops.echoed.size(), 2u);
}

} // namespace
} // namespace kivrel
