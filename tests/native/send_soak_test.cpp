// Thousands of send-dialog runs against the real worker on a thread of its own,
// the real abort event and the real dialog state, with the user pressing OK at
// random moments. Reports reach the stand-in dialog as SendMessage brings them
// to CSendDlg: the worker goes on only once the UI thread has handled each one.
#include "res/resource.h"
#include "tests/native/soak_runs.h"
#include "wake/abort_event.h"
#include "wake/send_dialog_state.h"
#include "wake/send_worker.h"
#include "wake/wake_sender.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <iterator>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace kivrel {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::microseconds;
using std::chrono::milliseconds;

// Wine starts threads and switches between them far more slowly.
constexpr int kNativeRuns = 3000;
constexpr int kWindowsRuns = 1000;
constexpr int kRealPaceRuns = 5;
constexpr std::uint32_t kSeedSalt = 0x5e4d0000;

// Every run ends far sooner, even at the real pace under the sanitizers.
constexpr milliseconds kWatchdog(10000);

// The real event with the worker's interval scaled down, so that thousands of
// runs take seconds; the worker and the event still decide everything.
class ScaledAbort final : public AbortSignal {
public:
    ScaledAbort(AbortEvent& event, unsigned intervalMs)
        : m_event(event), m_intervalMs(intervalMs) {}

    bool WaitForAbort(unsigned timeoutMs) override {
        if (timeoutMs != kSendIntervalMs) {
            ++m_otherTimeouts;
        }
        return m_event.WaitForAbort(timeoutMs * m_intervalMs / kSendIntervalMs);
    }
    // Waits that asked for something other than the interval.
    int otherTimeouts() const { return m_otherTimeouts; }

private:
    AbortEvent& m_event;
    unsigned m_intervalMs;
    int m_otherTimeouts = 0;
};

// What the fake sender was given, in order. The worker writes it before each
// report; the UI thread reads it only while that report holds the worker.
struct SendLog {
    SendLog(std::uint32_t seed, unsigned longestPauseUs)
        : random(seed), longestPause(longestPauseUs) {}

    std::mt19937 random;
    unsigned longestPause; // microseconds
    std::vector<MacBytes> macs;
    std::vector<int> results;
    std::atomic<int> count{0};
};

// A SendFunction is a bare function: it finds its run through its thread.
thread_local SendLog* t_sendLog = nullptr;

const int kResults[] = {SEND_OK,        SEND_OK, SEND_OK, SEND_ERR_SOCKET, SEND_ERR_BROADCAST,
                        SEND_ERR_SENDTO};

int FakeSend(const WakeTarget& target) {
    SendLog& log = *t_sendLog;
    // A packet takes a moment, so that OK sometimes lands while one is out.
    switch (log.random() % 4) {
    case 0:
        std::this_thread::yield();
        break;
    case 1:
        if (log.longestPause > 0) {
            std::this_thread::sleep_for(microseconds(log.random() % log.longestPause));
        }
        break;
    }
    log.macs.push_back(target.mac);
    log.results.push_back(kResults[log.random() % std::size(kResults)]);
    log.count.fetch_add(1);
    return log.results.back();
}

struct Message {
    bool done = false; // Finished rather than Report
    int result = 0;
};

// SendMessage for the worker: each call hands one message to the UI thread and
// returns only once that thread has handled it.
class SyncChannel final : public SendProgress {
public:
    void Report(int result) override { Deliver({false, result}); }
    void Finished() override { Deliver({true, 0}); }

    // UI thread: the message that holds the worker, if one comes by the deadline.
    bool Receive(Clock::time_point deadline, Message& message) {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_changed.wait_until(lock, deadline, [this] { return m_held; })) {
            return false;
        }
        message = m_message;
        return true;
    }
    // UI thread: the message received was handled, and its sender goes on.
    void Reply() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_held = false;
        m_closed = m_message.done;
        m_changed.notify_all();
    }
    // For a worker that is being left behind: no call holds it any more.
    void Abandon() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_abandoned = true;
        m_changed.notify_all();
    }
    // Calls made after Finished had been handled.
    int lateCalls() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_lateCalls;
    }

private:
    void Deliver(const Message& message) {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_abandoned) {
            return;
        }
        if (m_closed) {
            ++m_lateCalls;
            return;
        }
        m_message = message;
        m_held = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return !m_held || m_abandoned; });
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    Message m_message;
    bool m_held = false;
    bool m_closed = false;
    bool m_abandoned = false;
    int m_lateCalls = 0;
};

// CSendDlg's handlers over the real state and event, with rows that hold only
// the status text each one shows.
class DialogStandIn {
public:
    DialogStandIn(int targets, unsigned intervalMs, const SendLog& log)
        : m_abort(m_event, intervalMs), m_rows(targets, 0), m_log(log) {}

    AbortSignal& abort() { return m_abort; }
    AbortEvent& event() { return m_event; }
    bool finished() const { return m_finished; }
    bool closed() const { return m_closed; }

    void OnInitDialog() {
        m_state.Start();
        CheckState();
    }

    // messagePending: the worker is held on a message that is not handled yet.
    void OnOk(bool messagePending) {
        const SendDialogState::Phase before = m_state.GetPhase();
        const SendDialogState::OkAction action = m_state.PressOk();
        if (before == SendDialogState::kFinished) {
            EXPECT_EQ(action, SendDialogState::kEndDialog);
            m_closed = true;
            CheckState();
            return;
        }
        // Until the last message, OK only ever asks for an abort.
        EXPECT_EQ(action, SendDialogState::kSignalAbort) << "phase " << before;
        if (!m_aborted) {
            m_aborted = true;
            m_abortedAt = Clock::now();
            m_rowsAtAbort = m_state.NextRow();
            m_sendsAtAbort = m_log.count.load();
            m_pendingAtAbort = messagePending;
        }
        CheckState();
        m_event.Set();
    }

    void OnSendProgress(const Message& message) {
        if (message.done) {
            m_state.Finish();
            m_finished = true;
            m_finishedAt = Clock::now();
            CheckState();
            return;
        }
        const SendDialogState::Phase before = m_state.GetPhase();
        const int row = m_state.TakeResultRow();
        EXPECT_EQ(row, m_reports) << "results fill the rows in order";
        ++m_reports;
        EXPECT_EQ(m_state.GetPhase(), before) << "a result changes no state";
        if (row < 0 || row >= static_cast<int>(m_rows.size())) {
            ADD_FAILURE() << "result for row " << row << " of " << m_rows.size();
            return;
        }
        if (row >= static_cast<int>(m_log.results.size())) {
            ADD_FAILURE() << "report " << row << " without a send";
            return;
        }
        EXPECT_EQ(message.result, m_log.results[row]) << "row " << row;
        EXPECT_EQ(m_rows[row], 0u) << "row " << row << " filled twice";
        m_rows[row] = SendDialogState::StatusTextId(message.result);
        CheckState();
    }

    // After the close: what the rows show against what was sent, and how the abort ended it.
    void Verify(const std::vector<MacBytes>& macs, bool realPace) const {
        const int sent = m_log.count.load();
        EXPECT_EQ(sent, m_reports) << "sends and reports one for one";
        EXPECT_LE(sent, static_cast<int>(macs.size()));
        for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
            if (i >= sent) {
                EXPECT_EQ(m_rows[i], 0u) << "row " << i << " shows a result it never got";
                continue;
            }
            EXPECT_EQ(m_log.macs[i], macs[i]) << "send " << i;
            EXPECT_EQ(m_rows[i], m_log.results[i] == SEND_OK ? IDS_SEND_DONE : IDS_SEND_FAILED)
                << "row " << i;
        }
        EXPECT_EQ(m_abort.otherTimeouts(), 0);
        if (!m_aborted) {
            EXPECT_EQ(sent, static_cast<int>(macs.size())) << "stopped without an abort";
            return;
        }
        // Only a packet already past its wait when OK was handled can follow
        // the abort; one whose report was waiting then was the last.
        EXPECT_LE(sent, m_rowsAtAbort + 1) << "sends after the abort";
        if (m_pendingAtAbort) {
            EXPECT_EQ(sent, m_sendsAtAbort) << "sends after an abort with a report pending";
        }
        if (realPace) {
            // The worker's wait ends at the signal, not at the end of its interval.
            const auto took =
                std::chrono::duration_cast<milliseconds>(m_finishedAt - m_abortedAt).count();
            EXPECT_LT(took, static_cast<long long>(kSendIntervalMs)) << "ms from OK to the end";
        }
    }

    std::string Describe() const {
        return "phase " + std::to_string(m_state.GetPhase()) + ", " + std::to_string(m_reports) +
               " of " + std::to_string(m_rows.size()) + " rows, " +
               std::to_string(m_log.count.load()) + " sends";
    }

private:
    // Only these phases and buttons can be seen, each after its own events.
    void CheckState() const {
        const SendDialogState::Phase expected = m_closed     ? SendDialogState::kClosed
                                                : m_finished ? SendDialogState::kFinished
                                                : m_aborted  ? SendDialogState::kAborting
                                                             : SendDialogState::kSending;
        EXPECT_EQ(m_state.GetPhase(), expected);
        EXPECT_EQ(m_state.IsSending(), !m_finished);
        if (m_state.GetPhase() == SendDialogState::kAborting) {
            EXPECT_EQ(m_state.ButtonTextId(), IDS_SEND_ABORTING);
            EXPECT_FALSE(m_state.ButtonEnabled());
        } else {
            EXPECT_EQ(m_state.ButtonTextId(), m_finished ? IDS_SEND_CLOSE : IDS_SEND_ABORT);
            EXPECT_TRUE(m_state.ButtonEnabled());
        }
    }

    AbortEvent m_event;
    ScaledAbort m_abort;
    SendDialogState m_state;
    std::vector<unsigned> m_rows; // status text id, 0 while empty
    const SendLog& m_log;
    int m_reports = 0;
    bool m_aborted = false;
    bool m_finished = false;
    bool m_closed = false;
    int m_rowsAtAbort = 0;
    int m_sendsAtAbort = 0;
    bool m_pendingAtAbort = false;
    Clock::time_point m_abortedAt;
    Clock::time_point m_finishedAt;
};

// How the user treats one dialog: drawn from the seed alone.
struct RunPlan {
    int targets = 0;
    unsigned intervalMs = 0;
    int pressPercent = 0; // chance of OK at each moment the UI thread has
    int maxPresses = 0;
    bool pressAtStart = false; // before the first send, as a rule
    unsigned longestSendUs = 0;
    microseconds longestIdle{0};
};

RunPlan MakePlan(std::mt19937& random, bool realPace) {
    RunPlan plan;
    if (realPace) {
        plan.targets = 1 + static_cast<int>(random() % 4);
        plan.intervalMs = kSendIntervalMs;
        plan.longestIdle = milliseconds(kSendIntervalMs * 3 / 2);
    } else {
        plan.targets = static_cast<int>(random() % 4 == 0 ? random() % 41 : random() % 9);
        plan.intervalMs = random() % 2;
        plan.longestIdle = microseconds(1500);
    }
    static const unsigned kLongestSends[] = {0, 300, 1500};
    plan.longestSendUs = kLongestSends[random() % std::size(kLongestSends)];
    static const int kPressPercents[] = {0, 3, 20, 60, 100};
    plan.pressPercent = kPressPercents[random() % std::size(kPressPercents)];
    plan.maxPresses = 1 + static_cast<int>(random() % 3);
    plan.pressAtStart = plan.pressPercent > 0 && random() % 4 == 0;
    return plan;
}

// A worker that would not finish: release it from the channel and the event,
// and if it still runs, leave it what it uses rather than free it under it.
void LeaveWorker(std::thread& worker, std::future<void>& returned, SyncChannel& channel,
                 std::unique_ptr<DialogStandIn> dialog) {
    channel.Abandon();
    if (dialog) {
        dialog->event().Set();
    }
    if (returned.wait_for(std::chrono::seconds(1)) == std::future_status::ready) {
        worker.join();
        return;
    }
    ADD_FAILURE() << "the worker still runs after it was released";
    worker.detach();
    dialog.release(); // leaked on purpose: the detached worker may still use it
}

// One dialog from its start to its close, as the user in the plan drives it.
void RunDialog(std::uint32_t seed, bool realPace) {
    std::mt19937 random(seed);
    const RunPlan plan = MakePlan(random, realPace);
    std::vector<MacBytes> macs(plan.targets);
    for (std::size_t i = 0; i < macs.size(); ++i) {
        // The same PC may be listed twice.
        if (i > 0 && random() % 8 == 0) {
            macs[i] = macs[i - 1];
            continue;
        }
        for (std::uint8_t& byte : macs[i]) {
            byte = static_cast<std::uint8_t>(random());
        }
    }
    std::vector<WakeTarget> targets;
    for (const MacBytes& mac : macs) {
        targets.push_back({mac, "", 0});
    }

    // The channel and the log are the world around the dialog; the dialog
    // itself goes when it closes, as CSendDlg does.
    const auto channel = std::make_shared<SyncChannel>();
    const auto log = std::make_shared<SendLog>(random(), plan.longestSendUs);
    auto dialog = std::make_unique<DialogStandIn>(plan.targets, plan.intervalMs, *log);
    std::promise<void> returnedPromise;
    std::future<void> returned = returnedPromise.get_future();

    dialog->OnInitDialog();
    std::thread worker([targets, &abort = dialog->abort(), channel, log,
                        done = std::move(returnedPromise)]() mutable {
        t_sendLog = log.get();
        SendWorker(targets, abort, *channel, FakeSend);
        done.set_value();
    });

    const Clock::time_point deadline = Clock::now() + kWatchdog;
    int presses = 0;
    const auto maybePress = [&](bool messagePending) {
        if (presses < plan.maxPresses && static_cast<int>(random() % 100) < plan.pressPercent) {
            ++presses;
            dialog->OnOk(messagePending);
        }
    };
    if (plan.pressAtStart) {
        ++presses;
        dialog->OnOk(false);
    }
    while (!dialog->finished()) {
        // Now and then the user acts while the worker waits or sends.
        Clock::time_point until = deadline;
        if (random() % 2 == 0) {
            until = std::min(deadline,
                             Clock::now() + microseconds(random() % plan.longestIdle.count()));
        }
        Message message;
        if (!channel->Receive(until, message)) {
            if (Clock::now() >= deadline) {
                ADD_FAILURE() << "no last message within " << kWatchdog.count()
                              << " ms: " << dialog->Describe();
                LeaveWorker(worker, returned, *channel, std::move(dialog));
                return;
            }
            maybePress(false);
            continue;
        }
        maybePress(true);
        dialog->OnSendProgress(message);
        channel->Reply();
        if (!message.done) {
            maybePress(false);
        }
    }

    dialog->OnOk(false);
    EXPECT_TRUE(dialog->closed());
    dialog->Verify(macs, realPace);
    // Gone before the worker has surely returned: it must not touch the event now.
    dialog.reset();
    if (returned.wait_until(deadline) != std::future_status::ready) {
        ADD_FAILURE() << "the worker did not return after its last message";
        // The dialog is gone already; a worker still running is a failure either way.
        LeaveWorker(worker, returned, *channel, nullptr);
        return;
    }
    worker.join();
    EXPECT_EQ(channel->lateCalls(), 0) << "messages after the last one";
}

void Soak(int runs, bool realPace) {
    for (int run = 0; run < runs && !::testing::Test::HasFailure(); ++run) {
        // The seed replays the plan; the threads' timing is the machine's.
        const std::uint32_t seed = SoakSeed(kSeedSalt + (realPace ? 1 : 0), run);
        SCOPED_TRACE("run " + std::to_string(run) + ", seed " + std::to_string(seed));
        RunDialog(seed, realPace);
    }
}

TEST(SendSoak, RandomAbortsAtAScaledPace) {
    const int runs = SoakRuns(kNativeRuns, kWindowsRuns);
    ASSERT_GT(runs, 0) << "KIVREL_SOAK_RUNS must be a positive count";
    Soak(runs, false);
}

TEST(SendSoak, RandomAbortsAtTheRealPace) {
    Soak(kRealPaceRuns, true);
}

} // namespace
} // namespace kivrel
