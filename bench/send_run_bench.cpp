// How much longer than its floor of n waits a send run takes: the real worker
// loop and the real abort event, reports as direct calls.
//     send_run_bench [n=100] [runs=5] [--send]
// --send broadcasts real wake packets and so runs only under
// tests/harness/isolated; without it the sender does nothing.
#include "bench/median.h"
#include "tests/native/isolation.h"
#include "wake/abort_event.h"
#include "wake/send_worker.h"
#include "wake/wake_sender.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int NoSend(const kivrel::WakeTarget&) {
    return kivrel::SEND_OK;
}

class CountReports final : public kivrel::SendProgress {
public:
    void Report(int result) override { m_failed += result != kivrel::SEND_OK; }
    void Finished() override {}
    int m_failed = 0;
};

} // namespace

int main(int argc, char** argv) {
    int targets = 100;
    int runs = 5;
    bool send = false;
    std::vector<int> numbers;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--send") == 0) {
            send = true;
        } else {
            numbers.push_back(std::atoi(argv[i]));
        }
    }
    if (!numbers.empty()) {
        targets = std::max(1, numbers[0]);
    }
    if (numbers.size() > 1) {
        runs = std::max(1, numbers[1]);
    }
    const std::string problem = send ? kivrel::test::IsolationProblem() : std::string();
    if (!problem.empty()) {
        std::fprintf(stderr, "send_run_bench: --send refused: %s\n", problem.c_str());
        return 1;
    }

    const std::vector<kivrel::WakeTarget> wakes(
        targets, kivrel::WakeTarget{{0, 0x11, 0x22, 0x33, 0x44, 0x55}, "", 0});
    const double floorMs = targets * static_cast<double>(kivrel::kSendIntervalMs);
    std::printf("send run: n=%d, floor %.0f ms, sender %s\n", targets, floorMs,
                send ? "SendWake" : "no-op");
    const kivrel::SendFunction sender =
        send ? static_cast<kivrel::SendFunction>(kivrel::SendWake) : NoSend;
    std::vector<double> overheads;
    for (int run = 0; run < runs; ++run) {
        kivrel::AbortEvent abort;
        CountReports reports;
        const Clock::time_point start = Clock::now();
        kivrel::SendWorker(wakes, abort, reports, sender);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        overheads.push_back(ms - floorMs);
        std::printf("run %d: %.1f ms, overhead %.1f ms (%.3f ms per target), %d failed\n", run + 1,
                    ms, ms - floorMs, (ms - floorMs) / targets, reports.m_failed);
    }
    const double median = Median(overheads);
    std::printf("median overhead %.1f ms (%.2f%% of the floor, %.3f ms per target)\n", median,
                100.0 * median / floorMs, median / targets);
    return 0;
}
