#include "status/status_schedule.h"

namespace kivrel {

void StatusSchedule::SetPcs(const std::vector<StatusCheck>& pcs, StatusMillis now) {
    std::map<MacBytes, Pc> kept;
    for (const StatusCheck& check : pcs) {
        auto old = m_pcs.find(check.mac);
        Pc pc = old != m_pcs.end() ? old->second : Pc{};
        if (old == m_pcs.end() || pc.address != check.address) {
            // A new address says nothing of the old one's answers.
            pc.status = PC_STATUS_BLANK;
            pc.address = check.address;
            pc.running = false;
            pc.generation = ++m_generations;
            pc.due = now;
        }
        kept[check.mac] = pc;
    }
    m_pcs.swap(kept);
    m_queue.clear();
    for (const auto& [mac, pc] : m_pcs) {
        Queue(mac, pc);
    }
}

void StatusSchedule::NoteWoken(const MacBytes& mac, StatusMillis now) {
    auto found = m_pcs.find(mac);
    if (found == m_pcs.end()) {
        return;
    }
    Pc& pc = found->second;
    pc.wokenUntil = now + kWokenWatchMs;
    if (pc.due > now) {
        Unqueue(mac, pc);
        pc.due = now;
        Queue(mac, pc);
    }
}

bool StatusSchedule::TakeDue(StatusMillis now, StatusCheck& check, StatusMillis& next) {
    next = -1;
    if (m_queue.empty()) {
        return false;
    }
    const auto [due, mac] = *m_queue.begin();
    if (due > now) {
        next = due;
        return false;
    }
    m_queue.erase(m_queue.begin());
    Pc& pc = m_pcs[mac];
    pc.running = true;
    pc.takenAt = now;
    check.mac = mac;
    check.address = pc.address;
    check.generation = pc.generation;
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
    Queue(check.mac, pc);
    const bool changed = pc.status != status;
    pc.status = status;
    return changed;
}

void StatusSchedule::Queue(const MacBytes& mac, const Pc& pc) {
    if (!pc.running) {
        m_queue.emplace(pc.due, mac);
    }
}

void StatusSchedule::Unqueue(const MacBytes& mac, const Pc& pc) {
    m_queue.erase({pc.due, mac});
}

PcStatus StatusSchedule::StatusOf(const MacBytes& mac) const {
    auto found = m_pcs.find(mac);
    return found != m_pcs.end() ? found->second.status : PC_STATUS_BLANK;
}

} // namespace kivrel
