#include "status/status_worker.h"

#include "status/network_cache.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

namespace kivrel {
namespace {

// A woken PC of no known address has its subnets swept at most this often,
// with at most a quarter of the echoes in flight.
constexpr StatusMillis kSweepEveryMs = 30000;
constexpr int kMaxProbesInFlight = kMaxEchoesInFlight / 4;

} // namespace

StatusMillis SteadyMillis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

struct StatusWorker::Shared {
    Shared(std::shared_ptr<StatusNetwork> network, StatusClock clock, const StatusTimes& times)
        : cache(std::move(network), clock), clock(clock), schedule(times) {}

    NetworkCache cache;
    StatusClock clock;
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable ended;
    StatusSchedule schedule;
    StatusListener* listener = nullptr;
    bool noted = false;
    bool stopping = false;
    int threads = 0;
    int idle = 0;
    std::deque<std::uint32_t> probes;
    int probing = 0;
    StatusMillis sweptAt = 0;
    bool swept = false;

    void Note();
    void Spawn(const std::shared_ptr<Shared>& self);
    void MoreThreads(const std::shared_ptr<Shared>& self);
    void Sweep();
    // echoed tells whether an echo went out: a name that does not resolve is no silence.
    PcStatus Check(const std::shared_ptr<Shared>& self, const StatusCheck& check, MacBytes& other,
                   bool& echoed);
    void Run(const std::shared_ptr<Shared>& self);
};

// Called with the mutex held.
void StatusWorker::Shared::Note() {
    if (!noted && listener != nullptr && schedule.HasChanges()) {
        noted = true;
        listener->StatusesChanged();
    }
}

// Called with the mutex held.
void StatusWorker::Shared::Spawn(const std::shared_ptr<Shared>& self) {
    try {
        std::thread([self] { self->Run(self); }).detach();
        ++threads;
    } catch (const std::system_error&) {
        // The threads there are carry on, more slowly.
    }
}

// Another thread for the next due PC while this one waits, as long as one is
// allowed.
void StatusWorker::Shared::MoreThreads(const std::shared_ptr<Shared>& self) {
    const std::lock_guard<std::mutex> lock(mutex);
    if (!stopping && idle == 0 && threads < kMaxEchoesInFlight) {
        Spawn(self);
    }
}

// The way the MAC finder learns a MAC: an echo makes the system ask the
// network, and the neighbour table keeps the answer.
void StatusWorker::Shared::Sweep() {
    const std::vector<Subnet> local = cache.Subnets();
    const std::lock_guard<std::mutex> lock(mutex);
    const StatusMillis now = clock();
    if (!probes.empty() || (swept && now - sweptAt < kSweepEveryMs)) {
        return;
    }
    swept = true;
    sweptAt = now;
    for (std::uint32_t address : SweepAddresses(local)) {
        probes.push_back(address);
    }
    wake.notify_all();
}

PcStatus StatusWorker::Shared::Check(const std::shared_ptr<Shared>& self, const StatusCheck& check,
                                     MacBytes& other, bool& echoed) {
    const bool own = !check.address.empty();
    if (own) {
        MoreThreads(self); // a name may take seconds to fail: the next PC must not wait
    }
    // Held, not static: a thread may outlive the program's statics at exit.
    const std::shared_ptr<const Neighbours> table =
        own ? std::make_shared<const Neighbours>() : cache.ReadNeighbours(0);
    const ResolveName resolve = [this](const std::string& address, std::uint32_t& ipv4) {
        return cache.Resolve(address, ipv4);
    };
    std::uint32_t ipv4 = 0;
    PcStatus status = PC_STATUS_BLANK;
    if (!EchoAddressOf(check, table->byMac, resolve, ipv4, status)) {
        if (status == PC_STATUS_BLANK && check.woken) {
            Sweep();
        }
        return status; // PCs nowhere to be found cost no thread
    }
    if (!own) {
        MoreThreads(self);
    }
    const StatusMillis sent = clock();
    echoed = true;
    if (!cache.Network().Echo(ipv4, kEchoTimeoutMs)) {
        return PC_STATUS_DOWN;
    }
    // The table gave this address for the PC's own MAC; a kept one may have changed hands.
    const std::vector<Subnet> local = own ? cache.Subnets() : std::vector<Subnet>();
    if (!OnLocalSubnet(ipv4, local)) {
        return PC_STATUS_UP;
    }
    return ReplyStatus(check.mac, ipv4, local, cache.ReadNeighbours(sent)->rows, other);
}

void StatusWorker::Shared::Run(const std::shared_ptr<Shared>& self) {
    std::unique_lock<std::mutex> lock(mutex);
    while (!stopping) {
        // A woken PC's check first, then a sweep's echo, then the others': a
        // sweep may neither hold up the watch nor take every slot from a round.
        StatusCheck check;
        StatusMillis next = -1;
        const bool woken = schedule.TakeDue(clock(), check, next, true);
        if (!woken && !probes.empty() && probing < kMaxProbesInFlight) {
            const std::uint32_t address = probes.front();
            probes.pop_front();
            ++probing;
            lock.unlock();
            MoreThreads(self);
            cache.Network().Echo(address, kEchoTimeoutMs);
            lock.lock();
            --probing;
            wake.notify_one();
            continue;
        }
        if (!woken && !schedule.TakeDue(clock(), check, next)) {
            ++idle;
            if (next < 0) {
                wake.wait(lock);
            } else {
                wake.wait_for(lock, std::chrono::milliseconds(next - clock()));
            }
            --idle;
            continue;
        }
        lock.unlock();
        MacBytes other{};
        bool echoed = false;
        const PcStatus result = Check(self, check, other, echoed);
        lock.lock();
        if (stopping) {
            break;
        }
        schedule.Record(check, result, clock(), other, echoed);
        Note();
    }
    --threads;
    ended.notify_all();
}

StatusWorker::StatusWorker(std::shared_ptr<StatusNetwork> network, StatusListener& listener,
                           StatusClock clock, const StatusTimes& times)
    : m_shared(std::make_shared<Shared>(std::move(network), clock, times)) {
    m_shared->listener = &listener;
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->Spawn(m_shared);
}

StatusWorker::~StatusWorker() {
    Stop();
    WaitEnded(kEchoTimeoutMs + 500);
}

void StatusWorker::SetPcs(const std::vector<StatusCheck>& pcs) {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->schedule.SetPcs(pcs, m_shared->clock());
    m_shared->Note();
    m_shared->wake.notify_one();
}

void StatusWorker::SetEnabled(bool enabled) {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->schedule.SetEnabled(enabled, m_shared->clock());
    m_shared->Note();
    m_shared->wake.notify_one();
}

void StatusWorker::NoteWoken(const MacBytes& mac) {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->schedule.NoteWoken(mac, m_shared->clock());
    m_shared->Note();
    m_shared->wake.notify_one();
}

void StatusWorker::Suspend() {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->schedule.Suspend();
    m_shared->probes.clear();
}

void StatusWorker::Resume() {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->schedule.Resume(m_shared->clock());
    m_shared->wake.notify_all();
}

PcFacts StatusWorker::FactsOf(const MacBytes& mac) const {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    return m_shared->schedule.FactsOf(mac);
}

std::vector<StatusWorker::Change> StatusWorker::TakeChanges() {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    const std::map<MacBytes, PcStatus> changes = m_shared->schedule.TakeChanges();
    m_shared->noted = false;
    return std::vector<Change>(changes.begin(), changes.end());
}

void StatusWorker::Stop() {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->stopping = true;
    m_shared->listener = nullptr;
    m_shared->probes.clear();
    m_shared->schedule.TakeChanges();
    m_shared->wake.notify_all();
}

bool StatusWorker::WaitEnded(unsigned timeoutMs) {
    std::unique_lock<std::mutex> lock(m_shared->mutex);
    return m_shared->ended.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                    [this] { return m_shared->threads == 0; });
}

} // namespace kivrel
