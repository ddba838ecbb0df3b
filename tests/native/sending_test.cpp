// Real datagrams through the system's sockets. The listener will not open
// unless the network is the private loopback-only namespace.
#include "tests/native/isolation.h"
#include "tests/native/udp_listener.h"

#include "wake/wake_packet.h"
#include "wake/wake_sender.h"

#include <gtest/gtest.h>

namespace kivrel {
namespace {

class Sending : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string problem = test::IsolationProblem();
        if (!problem.empty()) {
            GTEST_FAIL() << "refusing to send: " << problem;
        }
        ASSERT_TRUE(listener.ok());
    }
    test::UdpListener listener{WAKE_UDP_PORT};
};

TEST_F(Sending, OneBroadcastDatagramOfTheExactPacket) {
    const MacBytes mac = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    ASSERT_EQ(SendWakePacket(mac), SEND_OK);
    test::Datagram got;
    ASSERT_TRUE(listener.Receive(got, 2000));
    WakePacket expected;
    BuildWakePacket(expected, mac);
    EXPECT_EQ(got.payload, std::vector<std::uint8_t>(expected.begin(), expected.end()));
    EXPECT_EQ(got.destination, 0xFFFFFFFFu);
    EXPECT_FALSE(listener.Receive(got, 200)) << "a second datagram arrived";
}

TEST_F(Sending, TwoCallsGiveTwoDatagramsInOrder) {
    ASSERT_EQ(SendWakePacket(MacBytes{1, 1, 1, 1, 1, 1}), SEND_OK);
    ASSERT_EQ(SendWakePacket(MacBytes{2, 2, 2, 2, 2, 2}), SEND_OK);
    test::Datagram first, second;
    ASSERT_TRUE(listener.Receive(first, 2000));
    ASSERT_TRUE(listener.Receive(second, 2000));
    EXPECT_EQ(first.payload[6], 1);
    EXPECT_EQ(second.payload[6], 2);
}

} // namespace
} // namespace kivrel
