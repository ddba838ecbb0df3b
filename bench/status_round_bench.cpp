// How long one round of status checks takes for n addressed PCs of which none
// answers, each echo waiting its whole time-out, against its floor: n / 64
// time-outs, the most that 64 echoes in flight allow. The real worker and
// schedule; the network is a stand-in whose echoes wait and fail.
// Then the watch after a wake: a woken PC among the n silent ones starts to
// answer while their checks keep every echo slot busy; how long from its
// first answer until the window is told it is up.
//     status_round_bench [n=1000]
#include "status/status_worker.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kWoken = 0xC6336403; // 198.51.100.3

class Unanswered final : public kivrel::StatusNetwork {
public:
    bool ReadNeighbours(std::vector<kivrel::NeighbourEntry>&) override { return false; }
    bool Resolve(const std::string& name, std::uint32_t& ipv4) override {
        ipv4 = name == "woken" ? kWoken : 0xC6336402; // 198.51.100.2, never reached
        return true;
    }
    bool Echo(std::uint32_t ipv4, unsigned timeoutMs) override {
        if (ipv4 == kWoken && up) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
        return false;
    }
    bool ReadSubnets(std::vector<kivrel::Subnet>&) override { return false; }
    std::atomic<bool> up{false};
};

class Counter final : public kivrel::StatusListener {
public:
    void StatusesChanged() override {
        const std::lock_guard<std::mutex> lock(mutex);
        ++notes;
        changed.notify_all();
    }
    std::mutex mutex;
    std::condition_variable changed;
    int notes = 0;
};

const kivrel::MacBytes kWokenMac = {0x00, 0x1A, 0x2B, 0xFF, 0xFF, 0xFF};

// Seconds from the woken PC's first answer, upAfterMs after its wake, until
// the worker reports it up; negative when that takes a minute.
double WatchedUntilUp(const std::vector<kivrel::StatusCheck>& checks, int upAfterMs) {
    auto network = std::make_shared<Unanswered>();
    Counter watched;
    kivrel::StatusWorker watch(network, watched);
    watch.SetPcs(checks);
    watch.NoteWoken(kWokenMac);
    std::this_thread::sleep_for(std::chrono::milliseconds(upAfterMs));
    watch.TakeChanges();
    network->up = true;
    const Clock::time_point answered = Clock::now();
    while (Clock::now() - answered < std::chrono::seconds(60)) {
        std::unique_lock<std::mutex> lock(watched.mutex);
        const int before = watched.notes;
        watched.changed.wait_for(lock, std::chrono::milliseconds(100),
                                 [&] { return watched.notes != before; });
        lock.unlock();
        for (const auto& change : watch.TakeChanges()) {
            if (change.first == kWokenMac && change.second == kivrel::PC_STATUS_UP) {
                return std::chrono::duration<double>(Clock::now() - answered).count();
            }
        }
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    const int pcs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    std::vector<kivrel::StatusCheck> checks(pcs);
    for (int i = 0; i < pcs; ++i) {
        checks[i].mac = {0x00,
                         0x1A,
                         0x2B,
                         static_cast<std::uint8_t>(i >> 16),
                         static_cast<std::uint8_t>(i >> 8),
                         static_cast<std::uint8_t>(i)};
        checks[i].address = "pc";
    }
    Counter counter;
    kivrel::StatusWorker worker(std::make_shared<Unanswered>(), counter);
    const Clock::time_point start = Clock::now();
    worker.SetPcs(checks);
    std::size_t down = 0;
    while (down < checks.size()) {
        std::unique_lock<std::mutex> lock(counter.mutex);
        const int seen = counter.notes;
        counter.changed.wait_for(lock, std::chrono::seconds(1),
                                 [&] { return counter.notes != seen; });
        lock.unlock();
        down += worker.TakeChanges().size();
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double floor =
        static_cast<double>(pcs) / kivrel::kMaxEchoesInFlight * kivrel::kEchoTimeoutMs / 1000.0;
    std::printf("| PCs | round (s) | floor n/64 x 1 s (s) | x floor |\n|---:|---:|---:|---:|\n");
    std::printf("| %d | %.2f | %.2f | %.2f |\n", pcs, seconds, floor, seconds / floor);

    checks.push_back({kWokenMac, "woken"});
    std::printf("\n| woken PC among %d silent: up after the wake (s) | first answer to up (s) |\n"
                "|---:|---:|\n",
                pcs);
    for (int upAfterMs = 5000; upAfterMs < 7000; upAfterMs += 500) {
        const double late = WatchedUntilUp(checks, upAfterMs);
        std::printf("| %.1f | %s |\n", upAfterMs / 1000.0,
                    late < 0 ? "not seen in 60 s" : std::to_string(late).substr(0, 4).c_str());
    }
    return 0;
}
