#include "wake/status_schedule.h"

namespace kivrel {

void StatusSchedule::SetPcs(const std::vector<StatusCheck>& pcs, StatusMillis now) {
    std::map<MacBytes, Pc> kept;
    for (const StatusCheck& check : pcs) {
        auto old = m_pcs.find(check.mac);
        Pc pc = old != m_pcs.end() ? old->second : Pc{};
        if (old == m_pcs.end() || pc.address != check.address) {
            // A new address says nothing of the old one's answers.
            if (old != m_pcs.end()) {
                pc.status = PC_STATUS_BLANK;
            }
            pc.address = check.address;
            pc.running = false;
            pc.generation = ++m_generations;
            pc.due = now;
        }
        kept[check.mac] = pc;
    }
    m_pcs.swap(kept);
}

void StatusSchedule::NoteWoken(const MacBytes& mac, StatusMillis now) {
    auto found = m_pcs.find(mac);
    if (found == m_pcs.end()) {
        return;
    }
    found->second.wokenUntil = now + kWokenWatchMs;
    if (found->second.due > now) {
        found->second.due = now;
    }
}

bool StatusSchedule::TakeDue(StatusMillis now, StatusCheck& check, StatusMillis& next) {
    auto chosen = m_pcs.end();
    next = -1;
    for (auto it = m_pcs.begin(); it != m_pcs.end(); ++it) {
        const Pc& pc = it->second;
        if (pc.running) {
            continue;
        }
        if (chosen == m_pcs.end() || pc.due < chosen->second.due) {
            chosen = it;
        }
    }
    if (chosen == m_pcs.end()) {
        return false;
    }
    if (chosen->second.due > now) {
        next = chosen->second.due;
        return false;
    }
    chosen->second.running = true;
    chosen->second.takenAt = now;
    check.mac = chosen->first;
    check.address = chosen->second.address;
    check.generation = chosen->second.generation;
    return true;
}

bool StatusSchedule::Record(const StatusCheck& check, PcStatus status, StatusMillis now) {
    auto found = m_pcs.find(check.mac);
    if (found == m_pcs.end() || !found->second.running ||
        found->second.generation != check.generation) {
        // Removed, or given a new address, while it was being checked.
        return false;
    }
    Pc& pc = found->second;
    pc.running = false;
    const bool woken = now < pc.wokenUntil;
    pc.due = pc.takenAt + (woken ? kWokenCheckEveryMs : kCheckEveryMs);
    const bool changed = pc.status != status;
    pc.status = status;
    return changed;
}

PcStatus StatusSchedule::StatusOf(const MacBytes& mac) const {
    auto found = m_pcs.find(mac);
    return found != m_pcs.end() ? found->second.status : PC_STATUS_BLANK;
}

} // namespace kivrel
