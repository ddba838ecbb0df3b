#include "wake/send_run.h"
#include "wake/send_worker.h"
#include "wake/wake_sender.h"

#include <gtest/gtest.h>

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

int ScriptedSend(const MacBytes& mac) {
    return g_script->Send(mac);
}

class SendWorkerTest : public ::testing::Test {
protected:
    SendWorkerTest() { g_script = &m_script; }
    ~SendWorkerTest() override { g_script = nullptr; }

    std::vector<std::string> Run(const std::vector<MacBytes>& macs) {
        SendWorker(macs, m_script, m_script, ScriptedSend);
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
        SendWorker(macs, script, script, ScriptedSend);
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

} // namespace
} // namespace kivrel
