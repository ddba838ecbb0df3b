#include "wake/abort_event.h"

#include <windows.h>

namespace kivrel {

struct AbortEvent::State {
    // Null if it could not be created; every wait then fails, which ends a run
    // before anything is sent.
    HANDLE event = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
};

AbortEvent::AbortEvent() : m_state(std::make_unique<State>()) {}

AbortEvent::~AbortEvent() {
    if (m_state->event != nullptr) {
        ::CloseHandle(m_state->event);
    }
}

void AbortEvent::Set() {
    ::SetEvent(m_state->event);
}

bool AbortEvent::WaitForAbort(unsigned timeoutMs) {
    return ::WaitForSingleObject(m_state->event, timeoutMs) != WAIT_TIMEOUT;
}

} // namespace kivrel
