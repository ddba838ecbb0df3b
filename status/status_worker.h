// The checks of every PC's status, on worker threads of their own: at most 64
// echoes in flight, each waiting up to a second. The UI thread only hands in
// the PCs and takes the changes; it never waits for the network, and once
// Stop returns it is told nothing more, while a thread still waiting for an
// echo ends on its own.
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
    // Called on a worker thread when changes wait to be taken, once until
    // they are: it must only post a note to the UI thread.
    virtual void StatusesChanged() = 0;
};

using StatusClock = StatusMillis (*)();
StatusMillis SteadyMillis();

class StatusWorker {
public:
    using Change = std::pair<MacBytes, PcStatus>;

    StatusWorker(std::shared_ptr<StatusNetwork> network, StatusListener& listener,
                 StatusClock clock = SteadyMillis);
    ~StatusWorker();
    StatusWorker(const StatusWorker&) = delete;
    StatusWorker& operator=(const StatusWorker&) = delete;

    void SetPcs(const std::vector<StatusCheck>& pcs);
    void NoteWoken(const MacBytes& mac);
    // The statuses changed since the last call, in no order.
    std::vector<Change> TakeChanges();
    // The listener is not called once this returns.
    void Stop();

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};

} // namespace kivrel
