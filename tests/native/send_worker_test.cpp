#include "res/resource.h"
#include "wake/send_dialog_state.h"
#include "wake/send_run.h"
#include "wake/send_worker.h"
#include "status/status_worker.h"
#include "wake/wake_sender.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kivrel {
namespace {

const MacBytes kA = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
const MacBytes kB = {0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB};
const MacBytes kC = {0xCC, 0xDD, 0xEE, 0xFF, 0x00, 0x01};

std::string Name(const MacBytes& mac) {
    return mac == kA ? "A" : mac == kB ? "B" : mac == kC ? "C" : "?";
}

// One log of everything the worker does, in order, from the scripted abort
// signal, the fake sender and the progress channel alike.
class Script final : public AbortSignal, public SendProgress {
public:
    bool WaitForAbort(unsigned timeoutMs) override {
        m_log.push_back("wait " + std::to_string(timeoutMs));
        const bool abort = m_pending || m_waits == m_abortAtWait;
        m_pending = false;
        ++m_waits;
        return abort;
    }
    void Report(int result) override { m_log.push_back("report " + std::to_string(result)); }
    void Finished() override { m_log.push_back("finished"); }

    int Send(const MacBytes& mac) {
        m_log.push_back("send " + Name(mac));
        ++m_sends;
        if (m_sends == m_abortDuringSend) {
            m_pending = true; // as the UI thread would while the packet is out
        }
        return m_sends == m_failingSend ? SEND_ERR_SENDTO : SEND_OK;
    }

    std::vector<std::string> m_log;
    int m_abortAtWait = -1;    // this wait (from 0) sees the signal
    int m_abortDuringSend = 0; // the signal is set during this send (from 1)
    int m_failingSend = 0;     // this send (from 1) fails
    int m_waits = 0;
    int m_sends = 0;
    bool m_pending = false;
};

Script* g_script = nullptr;

int ScriptedSend(const WakeTarget& target) {
    return g_script->Send(target.mac);
}

std::vector<WakeTarget> Targets(const std::vector<MacBytes>& macs) {
    std::vector<WakeTarget> targets;
    for (const MacBytes& mac : macs) {
        targets.push_back({mac, "", 0});
    }
    return targets;
}

class SendWorkerTest : public ::testing::Test {
protected:
    SendWorkerTest() { g_script = &m_script; }
    ~SendWorkerTest() override { g_script = nullptr; }

    std::vector<std::string> Run(const std::vector<MacBytes>& macs) {
        SendWorker(Targets(macs), m_script, m_script, ScriptedSend);
        return m_script.m_log;
    }

    Script m_script;
};

using Log = std::vector<std::string>;

TEST_F(SendWorkerTest, WaitsBeforeEachSendAndNeverAfterTheLast) {
    EXPECT_EQ(Run({kA, kB, kC}), (Log{"wait 100", "send A", "report 0", "wait 100", "send B",
                                      "report 0", "wait 100", "send C", "report 0", "finished"}));
}

TEST_F(SendWorkerTest, EmptySequenceOnlyFinishes) {
    EXPECT_EQ(Run({}), (Log{"finished"}));
}

TEST_F(SendWorkerTest, AbortBeforeTheFirstPacketSendsNothing) {
    m_script.m_abortAtWait = 0;
    EXPECT_EQ(Run({kA, kB}), (Log{"wait 100", "finished"}));
}

TEST_F(SendWorkerTest, AbortDuringASendReportsThatPacketAndStopsAtTheNextWait) {
    m_script.m_abortDuringSend = 2;
    EXPECT_EQ(Run({kA, kB, kC}), (Log{"wait 100", "send A", "report 0", "wait 100", "send B",
                                      "report 0", "wait 100", "finished"}));
}

TEST_F(SendWorkerTest, AbortDuringTheLastSendStillReportsItAndWaitsNoMore) {
    m_script.m_abortDuringSend = 2;
    EXPECT_EQ(Run({kA, kB}), (Log{"wait 100", "send A", "report 0", "wait 100", "send B",
                                  "report 0", "finished"}));
    EXPECT_TRUE(m_script.m_pending); // left set, never waited on
}

TEST_F(SendWorkerTest, FailedSendIsReportedAndTheRunGoesOn) {
    m_script.m_failingSend = 1;
    EXPECT_EQ(Run({kA, kB}), (Log{"wait 100", "send A", "report -4", "wait 100", "send B",
                                  "report 0", "finished"}));
}

TEST_F(SendWorkerTest, SameMacTwiceIsSentAndReportedTwiceInOrder) {
    m_script.m_failingSend = 2;
    EXPECT_EQ(Run({kA, kA, kB}), (Log{"wait 100", "send A", "report 0", "wait 100", "send A",
                                      "report -4", "wait 100", "send B", "report 0", "finished"}));
}

TEST(SendWorker, FinishedComesExactlyOnceAndLastWhereverTheRunEnds) {
    const std::vector<MacBytes> macs = {kA, kB, kC, kA};
    for (int abortAt = 0; abortAt <= 4; ++abortAt) {
        Script script;
        g_script = &script;
        script.m_abortAtWait = abortAt;
        SendWorker(Targets(macs), script, script, ScriptedSend);
        g_script = nullptr;

        int finished = 0, reports = 0;
        for (const std::string& entry : script.m_log) {
            finished += entry == "finished";
            reports += entry.rfind("report", 0) == 0;
        }
        EXPECT_EQ(finished, 1) << abortAt;
        EXPECT_EQ(script.m_log.back(), "finished") << abortAt;
        EXPECT_EQ(reports, script.m_sends) << abortAt;
        EXPECT_EQ(script.m_sends, abortAt) << abortAt;
    }
}

// The dialog's window may go before the run has stopped: the worker keeps its
// share of the event, and the run's end stops it at its next wait.
TEST_F(SendWorkerTest, ARunThatGoesFirstStopsItsWorkerWithoutFreeingWhatItUses) {
    TargetList targets;
    targets.Append({"A", kA});
    std::thread worker;
    {
        SendRun run;
        worker =
            std::thread([job = run.MakeJob(targets), this] { job->Run(m_script, ScriptedSend); });
    }
    worker.join();
    EXPECT_EQ(m_script.m_log, (Log{"finished"}));
}

// Each PC's wake goes through what is kept for its MAC; a name that does not
// resolve fails its own row, with a text of its own, and the run goes on.
TEST(SendRunTest, EachJobTargetCarriesItsMacsDestinationAndPort) {
    TargetList targets;
    targets.Append({"A", kA});
    targets.Append({"B", kB});
    targets.Append({"C", kC});
    AddressBook book;
    book[kA] = {"192.0.2.10", "", 0};
    book[kB] = {"", "no-such-pc.invalid", 9};
    book[kC] = {"", "", 9};
    const std::unique_ptr<SendJob> job = SendRun().MakeJob(targets, book);
    std::vector<std::string> kept;
    for (const WakeTarget& t : job->targets) {
        kept.push_back(t.destination + ':' + std::to_string(t.port));
    }
    EXPECT_EQ(kept, (std::vector<std::string>{":0", "no-such-pc.invalid:9", ":9"}));
    Script script;
    g_script = &script;
    SendWorker(job->targets, script, script, [](const WakeTarget& target) {
        g_script->Send(target.mac);
        return target.destination.empty() ? int(SEND_OK) : int(SEND_ERR_NO_DESTINATION);
    });
    g_script = nullptr;
    EXPECT_EQ(script.m_log, (Log{"wait 100", "send A", "report 0", "wait 100", "send B",
                                 "report -5", "wait 100", "send C", "report 0", "finished"}));
    EXPECT_EQ(SendDialogState::StatusTextId(SEND_ERR_NO_DESTINATION),
              unsigned(IDS_SEND_NO_DESTINATION));
}

// Statuses: when each PC is checked, on a clock the test moves.
TEST(StatusScheduleTest, ChecksEveryTenSecondsAndAWokenPcEveryTwoForThreeMinutes) {
    const StatusTimes times;
    StatusSchedule schedule;
    schedule.SetPcs({{kA, ""}}, 0);
    StatusCheck a;
    StatusMillis next = 0;
    ASSERT_TRUE(schedule.TakeDue(0, a, next));
    EXPECT_FALSE(schedule.TakeDue(0, a, next)); // running
    EXPECT_TRUE(schedule.Record(a, PC_STATUS_DOWN, 1000));
    EXPECT_FALSE(schedule.TakeDue(9999, a, next));
    EXPECT_EQ(next, times.checkEvery);
    schedule.NoteWoken(kA, 5000);
    EXPECT_EQ(schedule.StatusOf(kA), PC_STATUS_WAITING);
    int checks = 0;
    for (StatusMillis now = 5000; now <= 5000 + times.wokenWatch; now += 1000) {
        while (schedule.TakeDue(now, a, next)) {
            ++checks;
            EXPECT_EQ(schedule.Record(a, PC_STATUS_UP, now), checks == 1);
        }
    }
    EXPECT_EQ(checks, times.wokenWatch / times.wokenCheckEvery + 1);
    EXPECT_EQ(next, 5000 + times.wokenWatch + times.checkEvery);
}

// A wake's outcome: waiting while watched, then not woken until it answers or
// is woken again; a woken PC goes before every overdue one, also with checks off.
TEST(StatusScheduleTest, AWokenPcIsWatchedFirstAndItsOutcomeStays) {
    const StatusTimes times;
    StatusSchedule schedule;
    std::vector<StatusCheck> pcs(2000);
    for (int i = 0; i < 2000; ++i) {
        pcs[i] = {{0x02, 0, 0, 0, std::uint8_t(i >> 8), std::uint8_t(i)}, "pc"};
    }
    pcs[1999].mac = kC;
    schedule.SetPcs(pcs, 0);
    schedule.NoteWoken(kC, 100);
    StatusCheck check;
    StatusMillis next;
    for (StatusMillis now = 100; now < 100 + times.wokenWatch + 4000; now += 500) {
        ASSERT_TRUE(schedule.TakeDue(now, check, next)); // one slot, ever overdue
        if (check.mac == kC) {
            EXPECT_TRUE(check.woken);
            EXPECT_EQ((now - 100) % times.wokenCheckEvery, 0);
        }
        schedule.Record(check, PC_STATUS_DOWN, now + 400);
        EXPECT_EQ(schedule.StatusOf(kC),
                  now + 400 < 100 + times.wokenWatch ? PC_STATUS_WAITING : PC_STATUS_NOT_WOKEN);
    }
    schedule.SetEnabled(false, 200000);
    EXPECT_FALSE(schedule.TakeDue(500000, check, next));
    EXPECT_EQ(schedule.StatusOf(kC), PC_STATUS_NOT_WOKEN);
    EXPECT_EQ(schedule.StatusOf(pcs[0].mac), PC_STATUS_BLANK);
    schedule.NoteWoken(kA, 0); // not listed
    schedule.NoteWoken(kC, 500000);
    ASSERT_TRUE(schedule.TakeDue(500000, check, next));
    schedule.Record(check, PC_STATUS_UP, 500000);
    EXPECT_EQ(schedule.StatusOf(kC), PC_STATUS_UP);
    EXPECT_EQ(schedule.FactsOf(kC).answered, true);
}

TEST(StatusScheduleTest, AStatusFollowsItsMacAndEveryResetIsReported) {
    StatusSchedule schedule;
    schedule.SetPcs({{kA, "x"}, {kB, "y"}}, 0);
    StatusCheck a, b;
    StatusMillis next;
    schedule.TakeDue(0, a, next);
    schedule.TakeDue(0, b, next);
    schedule.Record(a, PC_STATUS_UP, 0);
    schedule.SetPcs({{kB, "z"}, {kA, "x"}}, 0); // moved, and B given a new address
    EXPECT_EQ(schedule.StatusOf(kA), PC_STATUS_UP);
    EXPECT_FALSE(schedule.Record(b, PC_STATUS_UP, 0));
    EXPECT_EQ(schedule.StatusOf(kB), PC_STATUS_BLANK);
    schedule.TakeDue(0, b, next);
    schedule.Record(b, PC_STATUS_DOWN, 0);
    EXPECT_EQ(schedule.TakeChanges(),
              (std::map<MacBytes, PcStatus>{{kA, PC_STATUS_UP}, {kB, PC_STATUS_DOWN}}));
    schedule.SetPcs({{kB, ""}}, 0); // A deleted, B's address cleared
    EXPECT_EQ(schedule.TakeChanges(),
              (std::map<MacBytes, PcStatus>{{kA, PC_STATUS_BLANK}, {kB, PC_STATUS_BLANK}}));
}

// After the system sleeps, no answer sent before counts, and none is asked
// until the network has had a moment to come back.
TEST(StatusScheduleTest, SleepDropsTheChecksUnderWayAndTheRoundWaitsAfterResume) {
    StatusSchedule schedule;
    schedule.SetPcs({{kA, "x"}}, 0);
    StatusCheck a;
    StatusMillis next;
    ASSERT_TRUE(schedule.TakeDue(0, a, next));
    schedule.Suspend();
    EXPECT_FALSE(schedule.Record(a, PC_STATUS_DOWN, 900));
    EXPECT_FALSE(schedule.TakeDue(60000, a, next));
    EXPECT_EQ(next, -1);
    schedule.Resume(60000);
    EXPECT_FALSE(schedule.TakeDue(64999, a, next));
    EXPECT_EQ(next, 60000 + StatusTimes().resumeDelay);
    EXPECT_TRUE(schedule.TakeDue(next, a, next));
    EXPECT_EQ(schedule.StatusOf(kA), PC_STATUS_BLANK);
}

class FakeNetwork final : public StatusNetwork {
public:
    bool ReadNeighbours(std::vector<NeighbourEntry>& rows) override {
        const std::lock_guard<std::mutex> lock(mutex);
        ++reads;
        rows = neighbours;
        return true;
    }
    // Names beginning "slow" take 300 ms to fail.
    bool Resolve(const std::string& address, std::uint32_t& ipv4) override {
        if (address.compare(0, 4, "slow") == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            return false;
        }
        if (ParseIpv4(address, ipv4)) {
            return true;
        }
        ipv4 = 0x0A000000 + static_cast<std::uint32_t>(address.size());
        return address != "nowhere";
    }
    bool Echo(std::uint32_t ipv4, unsigned timeoutMs) override {
        std::unique_lock<std::mutex> lock(mutex);
        echoes.push_back(ipv4);
        EXPECT_EQ(timeoutMs, kEchoTimeoutMs);
        maxInFlight = std::max(maxInFlight, ++inFlight);
        changed.notify_all();
        changed.wait(lock, [this] { return released; });
        --inFlight;
        changed.notify_all();
        // The woken PC's card answers the sweep's echo, and the table learns it.
        if (ipv4 == 0xC0000205) {
            neighbours.push_back({ipv4, kC, true, false, 0});
        }
        return true;
    }
    bool ReadSubnets(std::vector<Subnet>& local) override {
        local = subnets;
        return true;
    }
    template <class Condition> bool WaitFor(Condition condition) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(10), condition);
    }
    void Release(bool release) {
        const std::lock_guard<std::mutex> lock(mutex);
        released = release;
        changed.notify_all();
    }

    std::vector<NeighbourEntry> neighbours;
    std::vector<Subnet> subnets;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::uint32_t> echoes;
    int inFlight = 0, maxInFlight = 0, reads = 0;
    bool released = true;
};

TEST(StatusCheckTest, AnAddressComesFromThePcOrTheLatestUsableNeighbourRow) {
    const MacBytes broadcast = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    FakeNetwork network;
    network.neighbours = {
        {0xC0000205, kA, true, false, 500},  {0xC0000206, kA, true, false, 20},
        {0xC0000207, kA, true, true, 0},     {0xE0000001, kA, true, false, 0},
        {0xC0000208, kA, false, false, 0},   {0xC00002FF, broadcast, true, false, 0},
        {0xC0000209, kB, true, false, 1000}, {0xC000020A, MacBytes{}, true, false, 0}};
    const auto check = [&](const MacBytes& mac, const std::string& address) {
        std::uint32_t ipv4 = 0;
        PcStatus status = PC_STATUS_UP;
        const bool found = EchoAddressOf(
            {mac, address}, LatestNeighbourAddresses(network.neighbours),
            [&](const std::string& name, std::uint32_t& to) { return network.Resolve(name, to); },
            ipv4, status);
        return std::make_pair(found ? ipv4 : 0, status);
    };
    EXPECT_EQ(check(kA, ""), std::make_pair(0xC0000206u, PC_STATUS_BLANK));
    EXPECT_EQ(check(kC, ""), std::make_pair(0u, PC_STATUS_BLANK));
    EXPECT_EQ(check(broadcast, ""), std::make_pair(0u, PC_STATUS_BLANK));
    EXPECT_EQ(check(MacBytes{}, ""), std::make_pair(0u, PC_STATUS_BLANK));
    EXPECT_EQ(check(kC, "nowhere"), std::make_pair(0u, PC_STATUS_DOWN));
    EXPECT_EQ(check(kC, "pc-c"), std::make_pair(0x0A000004u, PC_STATUS_DOWN));
}

class CountingListener final : public StatusListener {
public:
    void StatusesChanged() override { ++notes; }
    std::atomic<int> notes{0};
};

// Changes gathered until the test's condition holds, or ten seconds.
template <class Condition>
bool GatherUntil(StatusWorker& worker, std::map<MacBytes, PcStatus>& seen, Condition condition) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition() && std::chrono::steady_clock::now() < end) {
        for (const auto& change : worker.TakeChanges()) {
            seen[change.first] = change.second;
        }
    }
    return condition();
}

// Never more than 64 echoes wait at once, and after Stop nothing is reported
// or kept, not even the answers of echoes sent before.
TEST(StatusWorkerTest, KeepsSixtyFourEchoesInFlightAndIsSilentOnceStopped) {
    auto network = std::make_shared<FakeNetwork>();
    network->released = false;
    CountingListener listener;
    StatusWorker worker(network, listener);
    std::vector<StatusCheck> pcs(200);
    for (int i = 0; i < 200; ++i) {
        pcs[i].mac[5] = static_cast<std::uint8_t>(i);
        pcs[i].address = "pc";
    }
    worker.SetPcs(pcs);
    ASSERT_TRUE(network->WaitFor([&] { return network->inFlight == kMaxEchoesInFlight; }));
    network->Release(true);
    ASSERT_TRUE(
        network->WaitFor([&] { return network->echoes.size() >= 200 && network->inFlight == 0; }));
    EXPECT_EQ(network->maxInFlight, kMaxEchoesInFlight);
    EXPECT_GE(listener.notes, 1);
    network->Release(false);
    for (int i = 0; i < 10; ++i) {
        worker.NoteWoken(pcs[i].mac);
    }
    ASSERT_TRUE(network->WaitFor([&] { return network->inFlight == 10; }));
    worker.TakeChanges();
    worker.Stop();
    const int notes = listener.notes;
    network->Release(true);
    ASSERT_TRUE(network->WaitFor([&] { return network->inFlight == 0; }));
    EXPECT_TRUE(worker.WaitEnded(5000));
    EXPECT_EQ(listener.notes, notes);
    EXPECT_TRUE(worker.TakeChanges().empty());
}

// Twenty names that each take 300 ms to fail hold up no other row.
TEST(StatusWorkerTest, ASlowNameHoldsUpNoOtherRow) {
    auto network = std::make_shared<FakeNetwork>();
    CountingListener listener;
    StatusWorker worker(network, listener);
    std::vector<StatusCheck> pcs(21);
    for (int i = 0; i < 20; ++i) {
        pcs[i] = {{0, 0, 0, 0, 0, static_cast<std::uint8_t>(i)}, "slow-" + std::to_string(i)};
    }
    pcs[20] = {kC, "192.0.2.9"};
    const auto start = std::chrono::steady_clock::now();
    worker.SetPcs(pcs);
    std::map<MacBytes, PcStatus> seen;
    ASSERT_TRUE(GatherUntil(worker, seen, [&] { return seen[kC] == PC_STATUS_UP; }));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
    // No echo went to a name that never resolved: no firewall to blame for silence.
    ASSERT_TRUE(GatherUntil(worker, seen, [&] { return seen.count(pcs[0].mac) != 0; }));
    EXPECT_FALSE(worker.FactsOf(pcs[0].mac).echoed);
}

// A reply counts only from the PC's own MAC where the table can tell; a woken
// PC of no known address is found by a sweep of its subnet; and the table is
// read again for a PC that shows up in it later.
TEST(StatusWorkerTest, WhoAnswersAndAPcFoundOnlyAfterItsWake) {
    static std::atomic<StatusMillis> now{0};
    auto network = std::make_shared<FakeNetwork>();
    network->subnets = {{0xC0000201, 29}};
    network->neighbours = {{0xC0000203, kB, true, false, 0}};
    CountingListener listener;
    StatusWorker worker(network, listener, [] { return now.load(); });
    const MacBytes kD = {0x02, 0, 0, 0, 0, 0x0D};
    worker.SetPcs({{kA, "192.0.2.3"}, {kB, "192.0.2.3"}, {kC, ""}, {kD, ""}});
    std::map<MacBytes, PcStatus> seen;
    ASSERT_TRUE(GatherUntil(worker, seen, [&] { return seen.size() == 2; }));
    EXPECT_EQ(seen, (std::map<MacBytes, PcStatus>{{kA, PC_STATUS_OTHER}, {kB, PC_STATUS_UP}}));
    EXPECT_EQ(worker.FactsOf(kA).otherMac, kB);
    worker.NoteWoken(kC);
    ASSERT_TRUE(network->WaitFor([&] { return network->echoes.size() == 7; }));
    now += 2000;
    worker.NoteWoken(kC);
    EXPECT_TRUE(GatherUntil(worker, seen, [&] { return seen[kC] == PC_STATUS_UP; }));
    {
        const std::lock_guard<std::mutex> lock(network->mutex);
        network->neighbours.push_back({0xC0000204, kD, true, false, 0});
    }
    now += 1000;
    worker.NoteWoken(kD);
    EXPECT_TRUE(GatherUntil(worker, seen, [&] { return seen[kD] == PC_STATUS_UP; }));
}

} // namespace
} // namespace kivrel
