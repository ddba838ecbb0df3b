// Message boxes only where someone can see them. A process whose window
// station is not shown (a scheduled task run while no user is logged on, a
// service) would wait for ever on a box that no one can close, and the task
// would stay running for days: there the boxes are dropped and the exit
// status alone tells what happened.
#pragma once

#include "ui/messages.h"

namespace kivrel {

// The window station's flags as the system reports them (USEROBJECTFLAGS);
// false when they cannot be read.
using StationFlagsQuery = bool (*)(unsigned long& flags);

constexpr unsigned long kStationVisible = 0x0001; // WSF_VISIBLE

// Flags that could not be read count as shown: a box as before, rather than
// a fault no one hears of.
bool StationShowsBoxes(bool known, unsigned long flags);

class SeenMessages final : public Messages {
public:
    // The station is asked at the first box, never for a run that shows none.
    SeenMessages(Messages& boxes, StationFlagsQuery query) : m_boxes(boxes), m_query(query) {}

    void ShowStop(unsigned stringId) override;
    void ShowWarning(unsigned stringId) override;
    // Unseen, the question is answered Cancel.
    bool Confirm(unsigned stringId) override;
    void ShowNumbers(unsigned stringId, bool fault, unsigned long first,
                     unsigned long second) override;
    void ShowTexts(unsigned stringId, bool fault, const std::string& first,
                   const std::string& second) override;

private:
    bool Seen();

    Messages& m_boxes;
    StationFlagsQuery m_query;
    int m_seen = -1; // not asked yet
};

} // namespace kivrel
