// The sending loop of the progress dialog, free of the window system: it sees
// only the copied targets, an abort signal and a channel for its reports.
#pragma once

#include "wake/wake_sender.h"

#include <vector>

namespace kivrel {

// At most one packet per interval: the wait before each send is also the abort poll.
constexpr unsigned kSendIntervalMs = 100;

class AbortSignal {
public:
    virtual ~AbortSignal() = default;
    // Waits up to timeoutMs. True ends the run: the signal was set, or the wait failed.
    virtual bool WaitForAbort(unsigned timeoutMs) = 0;
};

// Each call returns only once the report has been handled.
class SendProgress {
public:
    virtual ~SendProgress() = default;
    // The result of SendWake for the next target.
    virtual void Report(int result) = 0;
    // Always the last call, exactly once.
    virtual void Finished() = 0;
};

using SendFunction = int (*)(const WakeTarget&);

// Runs on the worker thread. After Finished it touches none of its arguments.
void SendWorker(const std::vector<WakeTarget>& targets, AbortSignal& abort, SendProgress& progress,
                SendFunction send);
void SendWorker(const std::vector<WakeTarget>& targets, AbortSignal& abort, SendProgress& progress);

} // namespace kivrel
