#include "wake/abort_event.h"
#include "wake/send_worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace kivrel {
namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST(AbortEvent, HoldsOnePendingSignalThatOneWaitConsumes) {
    AbortEvent event;
    EXPECT_FALSE(event.WaitForAbort(0));
    event.Set();
    event.Set();
    EXPECT_TRUE(event.WaitForAbort(0));
    EXPECT_FALSE(event.WaitForAbort(0));
}

TEST(AbortEvent, WaitTimesOutNoEarlierThanAsked) {
    AbortEvent event;
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(event.WaitForAbort(50));
    EXPECT_GE(MsSince(start), 45); // timer granularity under Wine
}

TEST(AbortEvent, SetFromAnotherThreadEndsAWaitAtOnce) {
    AbortEvent event;
    const Clock::time_point start = Clock::now();
    std::thread setter([&event] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        event.Set();
    });
    EXPECT_TRUE(event.WaitForAbort(5000));
    EXPECT_LT(MsSince(start), 2000);
    setter.join();
}

int g_sends = 0;

int CountingSend(const WakeTarget&) {
    ++g_sends;
    return 0;
}

// Reports are direct calls here; each is stamped with the time it arrived.
class Stamps final : public SendProgress {
public:
    explicit Stamps(AbortEvent& event) : m_event(event) {}
    void Report(int) override {
        m_reports.push_back(MsSince(m_start));
        if (static_cast<int>(m_reports.size()) == m_abortAtReport) {
            m_event.Set();
        }
    }
    void Finished() override { m_finished.push_back(MsSince(m_start)); }

    AbortEvent& m_event;
    Clock::time_point m_start = Clock::now();
    int m_abortAtReport = 0;
    std::vector<long long> m_reports;
    std::vector<long long> m_finished;
};

class RealEventWorker : public ::testing::Test {
protected:
    RealEventWorker() { g_sends = 0; }
    void Run(int targets) {
        SendWorker(std::vector<WakeTarget>(targets), m_event, m_stamps, CountingSend);
    }
    AbortEvent m_event;
    Stamps m_stamps{m_event};
};

TEST_F(RealEventWorker, SendsOnePacketPerIntervalAndFinishesRightAfterTheLast) {
    Run(3);
    ASSERT_EQ(m_stamps.m_reports.size(), 3u);
    long long previous = 0;
    for (long long at : m_stamps.m_reports) {
        EXPECT_GE(at - previous, 95);
        EXPECT_LT(at - previous, 400);
        previous = at;
    }
    ASSERT_EQ(m_stamps.m_finished.size(), 1u);
    EXPECT_LT(m_stamps.m_finished[0] - previous, 50);
}

TEST_F(RealEventWorker, SignalSetBeforeTheRunSendsNothing) {
    m_event.Set();
    Run(3);
    EXPECT_EQ(g_sends, 0);
    EXPECT_TRUE(m_stamps.m_reports.empty());
    ASSERT_EQ(m_stamps.m_finished.size(), 1u);
    EXPECT_LT(m_stamps.m_finished[0], 50);
}

TEST_F(RealEventWorker, SignalSetWhileAReportIsHandledStopsAtTheNextWait) {
    m_stamps.m_abortAtReport = 2;
    Run(5);
    EXPECT_EQ(g_sends, 2);
    ASSERT_EQ(m_stamps.m_reports.size(), 2u);
    ASSERT_EQ(m_stamps.m_finished.size(), 1u);
    EXPECT_LT(m_stamps.m_finished[0] - m_stamps.m_reports[1], 50);
    EXPECT_FALSE(m_event.WaitForAbort(0)); // the worker's wait consumed it
}

TEST_F(RealEventWorker, AbortFromAnotherThreadEndsTheRunWithinOneInterval) {
    std::atomic<long long> setAt{-1};
    std::thread ui([this, &setAt] {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        setAt = MsSince(m_stamps.m_start);
        m_event.Set();
    });
    Run(50);
    ui.join();
    EXPECT_EQ(static_cast<int>(m_stamps.m_reports.size()), g_sends);
    EXPECT_GE(g_sends, 1);
    EXPECT_LE(g_sends, 4);
    ASSERT_EQ(m_stamps.m_finished.size(), 1u);
    EXPECT_GE(m_stamps.m_finished[0], setAt.load());
    EXPECT_LT(m_stamps.m_finished[0] - setAt.load(), 100);
}

} // namespace
} // namespace kivrel
