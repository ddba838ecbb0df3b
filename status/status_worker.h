// The checks of every PC's status, on worker threads of their own: at most 64
// echoes or name look-ups in flight, each echo waiting up to a second. The UI
// thread only hands in the PCs and takes the changes; it never waits for the
// network, and once Stop returns it is told nothing more.
#pragma once

#include "status/status_check.h"
#include "status/status_schedule.h"

#include <memory>
#include <utility>
#include <vector>

namespace kivrel {

constexpr int kMaxEchoesInFlight = 64;

class StatusListener {
public:
    virtual ~StatusListener() = default;
    // Called on any thread when changes wait to be taken, once until they
    // are: it must only post a note to the UI thread.
    virtual void StatusesChanged() = 0;
};

using StatusClock = StatusMillis (*)();
StatusMillis SteadyMillis();

class StatusWorker {
public:
    using Change = std::pair<MacBytes, PcStatus>;

    StatusWorker(std::shared_ptr<StatusNetwork> network, StatusListener& listener,
                 StatusClock clock = SteadyMillis, const StatusTimes& times = StatusTimes());
    // Stops, and waits a while for the echoes under way.
    ~StatusWorker();
    StatusWorker(const StatusWorker&) = delete;
    StatusWorker& operator=(const StatusWorker&) = delete;

    void SetPcs(const std::vector<StatusCheck>& pcs);
    void SetEnabled(bool enabled);
    void NoteWoken(const MacBytes& mac);
    // The system goes to sleep, or has woken up.
    void Suspend();
    void Resume();
    PcFacts FactsOf(const MacBytes& mac) const;
    // The statuses changed since the last call, in no order.
    std::vector<Change> TakeChanges();
    // The listener is not called once this returns, and no later result is kept.
    void Stop();
    // After Stop: true once no thread is left, false after timeoutMs. A
    // process that ends with echoes under way can leave Wine's ICMP service
    // unable to send for the next run.
    bool WaitEnded(unsigned timeoutMs);

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};

} // namespace kivrel
