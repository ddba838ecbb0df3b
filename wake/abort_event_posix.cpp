#include "wake/abort_event.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace kivrel {

struct AbortEvent::State {
    std::mutex mutex;
    std::condition_variable changed;
    bool signalled = false;
};

AbortEvent::AbortEvent() : m_state(std::make_unique<State>()) {}

AbortEvent::~AbortEvent() = default;

void AbortEvent::Set() {
    {
        std::lock_guard<std::mutex> lock(m_state->mutex);
        m_state->signalled = true;
    }
    m_state->changed.notify_one();
}

bool AbortEvent::WaitForAbort(unsigned timeoutMs) {
    std::unique_lock<std::mutex> lock(m_state->mutex);
    if (!m_state->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                   [this] { return m_state->signalled; })) {
        return false;
    }
    m_state->signalled = false;
    return true;
}

} // namespace kivrel
