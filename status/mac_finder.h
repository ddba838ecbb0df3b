// Runs a MAC look-up on a thread of its own, so that the dialog asking stays
// responsive, and tells the dialog when it is done. The dialog may go first:
// the thread keeps its own share of the job, and a result nobody takes is
// dropped with it.
#pragma once

#include "status/mac_lookup.h"

#include <windows.h>

#include <memory>
#include <string>

// Posted, never sent: the dialog may be gone by then, and nothing waits on it.
constexpr UINT WM_MAC_FOUND = WM_APP + 2; // 0x8002

namespace kivrel {

struct MacFinderJob;

class MacFinder {
public:
    // Starts looking for the text (UTF-8); WM_MAC_FOUND goes to notify at the
    // end. False when no thread could be started.
    bool Start(const std::string& text, HWND notify);
    // True, with the result, once this finder's look-up has ended; false for
    // a stray message or while it still looks.
    bool TakeResult(Lookup& lookup);

private:
    std::shared_ptr<MacFinderJob> m_job;
};

} // namespace kivrel
