#include "status/status_worker.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>

namespace kivrel {
namespace {

// The neighbour table is read at most this often, not once per echo; the
// adapters' subnets less often still.
constexpr StatusMillis kNeighbourReadEveryMs = 1000;
constexpr StatusMillis kSubnetReadEveryMs = 10000;
// A woken PC of no known address has its subnets swept at most this often.
constexpr StatusMillis kSweepEveryMs = 30000;

struct Neighbours {
    std::vector<NeighbourEntry> rows;
    NeighbourAddresses byMac;
};

} // namespace

StatusMillis SteadyMillis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

struct StatusWorker::Shared {
    struct Name {
        bool found = false;
        std::uint32_t ipv4 = 0;
        StatusMillis at = 0;
    };

    explicit Shared(const StatusTimes& times) : schedule(times) {}

    std::shared_ptr<StatusNetwork> network;
    StatusClock clock = SteadyMillis;
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable ended;
    StatusSchedule schedule;
    StatusListener* listener = nullptr;
    bool noted = false;
    bool stopping = false;
    int threads = 0;
    int idle = 0;
    std::map<std::string, Name> names;
    std::deque<std::uint32_t> probes;
    StatusMillis sweptAt = 0;
    bool swept = false;

    // Guards what follows, apart from the mutex above so that no check waits
    // on another's table read.
    std::mutex tableMutex;
    std::shared_ptr<const Neighbours> neighbours;
    StatusMillis neighboursReadAt = 0;
    std::vector<Subnet> subnets;
    StatusMillis subnetsReadAt = 0;
    bool subnetsRead = false;

    std::shared_ptr<const Neighbours> ReadNeighbours(StatusMillis notBefore);
    std::vector<Subnet> Subnets();
    void Note();
    void Spawn(const std::shared_ptr<Shared>& self);
    void MoreThreads(const std::shared_ptr<Shared>& self);
    bool Resolve(const std::string& address, std::uint32_t& ipv4);
    void Sweep();
    PcStatus Check(const std::shared_ptr<Shared>& self, const StatusCheck& check, MacBytes& other);
    void Run(const std::shared_ptr<Shared>& self);
};

// Shared, not copied: each check only looks its MAC up. A reply is judged by a
// table read after its echo went out.
std::shared_ptr<const Neighbours> StatusWorker::Shared::ReadNeighbours(StatusMillis notBefore) {
    const std::lock_guard<std::mutex> lock(tableMutex);
    const StatusMillis now = clock();
    if (neighbours == nullptr || now - neighboursReadAt >= kNeighbourReadEveryMs ||
        neighboursReadAt < notBefore) {
        neighboursReadAt = now;
        auto read = std::make_shared<Neighbours>();
        if (!network->ReadNeighbours(read->rows)) {
            read->rows.clear();
        }
        read->byMac = LatestNeighbourAddresses(read->rows);
        neighbours = std::move(read);
    }
    return neighbours;
}

std::vector<Subnet> StatusWorker::Shared::Subnets() {
    const std::lock_guard<std::mutex> lock(tableMutex);
    const StatusMillis now = clock();
    if (!subnetsRead || now - subnetsReadAt >= kSubnetReadEveryMs) {
        subnetsRead = true;
        subnetsReadAt = now;
        if (!network->ReadSubnets(subnets)) {
            subnets.clear();
        }
    }
    return subnets;
}

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

bool StatusWorker::Shared::Resolve(const std::string& address, std::uint32_t& ipv4) {
    {
        const std::lock_guard<std::mutex> lock(mutex);
        const auto kept = names.find(address);
        if (kept != names.end() && clock() - kept->second.at < kNameKeptMs) {
            ipv4 = kept->second.ipv4;
            return kept->second.found;
        }
    }
    Name name;
    name.found = network->Resolve(address, name.ipv4);
    name.at = clock();
    const std::lock_guard<std::mutex> lock(mutex);
    names[address] = name;
    ipv4 = name.ipv4;
    return name.found;
}

// The way the MAC finder learns a MAC: an echo makes the system ask the
// network, and the neighbour table keeps the answer.
void StatusWorker::Shared::Sweep() {
    const std::vector<Subnet> local = Subnets();
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
                                     MacBytes& other) {
    std::uint32_t ipv4 = 0;
    if (check.address.empty()) {
        // Held, not static: a thread may outlive the program's statics at exit.
        const std::shared_ptr<const Neighbours> table = ReadNeighbours(0);
        const auto found = table->byMac.find(check.mac);
        if (found == table->byMac.end()) {
            if (check.woken) {
                Sweep();
            }
            return PC_STATUS_BLANK; // PCs nowhere to be found cost no thread
        }
        MoreThreads(self);
        return network->Echo(found->second, kEchoTimeoutMs) ? PC_STATUS_UP : PC_STATUS_DOWN;
    }
    // A name may take seconds to fail: the next PC must not wait for it.
    MoreThreads(self);
    if (!Resolve(check.address, ipv4)) {
        return PC_STATUS_DOWN;
    }
    const StatusMillis sent = clock();
    if (!network->Echo(ipv4, kEchoTimeoutMs)) {
        return PC_STATUS_DOWN;
    }
    const std::vector<Subnet> local = Subnets();
    if (!OnLocalSubnet(ipv4, local)) {
        return PC_STATUS_UP;
    }
    return ReplyStatus(check.mac, ipv4, local, ReadNeighbours(sent)->rows, other);
}

void StatusWorker::Shared::Run(const std::shared_ptr<Shared>& self) {
    std::unique_lock<std::mutex> lock(mutex);
    while (!stopping) {
        if (!probes.empty()) {
            const std::uint32_t address = probes.front();
            probes.pop_front();
            lock.unlock();
            MoreThreads(self);
            network->Echo(address, kEchoTimeoutMs);
            lock.lock();
            continue;
        }
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
        MacBytes other{};
        const PcStatus result = Check(self, check, other);
        lock.lock();
        if (stopping) {
            break;
        }
        schedule.Record(check, result, clock(), other);
        Note();
    }
    --threads;
    ended.notify_all();
}

StatusWorker::StatusWorker(std::shared_ptr<StatusNetwork> network, StatusListener& listener,
                           StatusClock clock, const StatusTimes& times)
    : m_shared(std::make_shared<Shared>(times)) {
    m_shared->network = std::move(network);
    m_shared->clock = clock;
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
