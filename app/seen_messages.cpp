#include "app/seen_messages.h"

namespace kivrel {

bool StationShowsBoxes(bool known, unsigned long flags) {
    return !known || (flags & kStationVisible) != 0;
}

bool SeenMessages::Seen() {
    if (m_seen < 0) {
        unsigned long flags = 0;
        const bool known = m_query(flags);
        m_seen = StationShowsBoxes(known, flags) ? 1 : 0;
    }
    return m_seen == 1;
}

void SeenMessages::ShowStop(unsigned stringId) {
    if (Seen()) {
        m_boxes.ShowStop(stringId);
    }
}

void SeenMessages::ShowWarning(unsigned stringId) {
    if (Seen()) {
        m_boxes.ShowWarning(stringId);
    }
}

bool SeenMessages::Confirm(unsigned stringId) {
    return Seen() && m_boxes.Confirm(stringId);
}

void SeenMessages::ShowNumbers(unsigned stringId, bool fault, unsigned long first,
                               unsigned long second) {
    if (Seen()) {
        m_boxes.ShowNumbers(stringId, fault, first, second);
    }
}

void SeenMessages::ShowTexts(unsigned stringId, bool fault, const std::string& first,
                             const std::string& second) {
    if (Seen()) {
        m_boxes.ShowTexts(stringId, fault, first, second);
    }
}

} // namespace kivrel
