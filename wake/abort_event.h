// The auto-reset event through which the UI thread asks the send worker to
// stop: a Win32 event on Windows, a condition variable elsewhere.
#pragma once

#include "wake/send_worker.h"

#include <memory>

namespace kivrel {

class AbortEvent final : public AbortSignal {
public:
    // Not signalled at first.
    AbortEvent();
    ~AbortEvent() override;
    AbortEvent(const AbortEvent&) = delete;
    AbortEvent& operator=(const AbortEvent&) = delete;

    // Holds at most one pending signal, which the next wait consumes.
    void Set();
    bool WaitForAbort(unsigned timeoutMs) override;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace kivrel
