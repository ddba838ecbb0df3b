#include "status/status_worker.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

namespace kivrel {

// The neighbour table is read at most this often, not once per echo.
constexpr StatusMillis kNeighbourReadEveryMs = 1000;

StatusMillis SteadyMillis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

struct StatusWorker::Shared {
    std::shared_ptr<StatusNetwork> network;
    StatusClock clock;
    std::mutex mutex;
    std::condition_variable wake;
    StatusSchedule schedule;
    std::map<MacBytes, PcStatus> changes;
    StatusListener* listener = nullptr;
    bool stopping = false;
    int threads = 0;
    int idle = 0;

    std::mutex neighbourMutex;
    std::shared_ptr<const NeighbourAddresses> neighbours;
    StatusMillis neighboursReadAt = 0;

    std::shared_ptr<const NeighbourAddresses> Neighbours();
    void Spawn(const std::shared_ptr<Shared>& self);
    void Run(const std::shared_ptr<Shared>& self);
};

// Shared, not copied: each check only looks its MAC up.
std::shared_ptr<const NeighbourAddresses> StatusWorker::Shared::Neighbours() {
    const std::lock_guard<std::mutex> lock(neighbourMutex);
    const StatusMillis now = clock();
    if (neighbours == nullptr || now - neighboursReadAt >= kNeighbourReadEveryMs) {
        neighboursReadAt = now;
        std::vector<NeighbourEntry> rows;
        if (!network->ReadNeighbours(rows)) {
            rows.clear();
        }
        neighbours = std::make_shared<const NeighbourAddresses>(LatestNeighbourAddresses(rows));
    }
    return neighbours;
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

void StatusWorker::Shared::Run(const std::shared_ptr<Shared>& self) {
    std::unique_lock<std::mutex> lock(mutex);
    while (!stopping) {
        StatusCheck check;
        StatusMillis next = -1;
        if (!schedule.TakeDue(clock(), check, next)) {
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
        // Held, not static: a thread may outlive the program's statics at exit.
        const std::shared_ptr<const NeighbourAddresses> neighbours =
            check.address.empty() ? Neighbours() : std::make_shared<const NeighbourAddresses>();
        std::uint32_t ipv4 = 0;
        PcStatus status = PC_STATUS_BLANK;
        if (EchoAddressOf(check, *neighbours, *network, ipv4, status)) {
            // Another thread for the next due PC while this one waits, as long
            // as one is allowed; PCs without an address cost no thread.
            lock.lock();
            if (idle == 0 && threads < kMaxEchoesInFlight) {
                Spawn(self);
            }
            lock.unlock();
            status = network->Echo(ipv4, kEchoTimeoutMs) ? PC_STATUS_UP : PC_STATUS_DOWN;
        }
        lock.lock();
        if (schedule.Record(check, status, clock())) {
            const bool first = changes.empty();
            changes[check.mac] = status;
            if (first && listener != nullptr) {
                listener->StatusesChanged();
            }
        }
    }
    --threads;
}

StatusWorker::StatusWorker(std::shared_ptr<StatusNetwork> network, StatusListener& listener,
                           StatusClock clock)
    : m_shared(std::make_shared<Shared>()) {
    m_shared->network = std::move(network);
    m_shared->clock = clock;
    m_shared->listener = &listener;
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->Spawn(m_shared);
}

StatusWorker::~StatusWorker() {
    Stop();
}

void StatusWorker::SetPcs(const std::vector<StatusCheck>& pcs) {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->schedule.SetPcs(pcs, m_shared->clock());
    m_shared->wake.notify_one();
}

void StatusWorker::NoteWoken(const MacBytes& mac) {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->schedule.NoteWoken(mac, m_shared->clock());
    m_shared->wake.notify_one();
}

std::vector<StatusWorker::Change> StatusWorker::TakeChanges() {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    std::vector<Change> taken(m_shared->changes.begin(), m_shared->changes.end());
    m_shared->changes.clear();
    return taken;
}

void StatusWorker::Stop() {
    const std::lock_guard<std::mutex> lock(m_shared->mutex);
    m_shared->stopping = true;
    m_shared->listener = nullptr;
    m_shared->wake.notify_all();
}

} // namespace kivrel
