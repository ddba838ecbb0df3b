#include "status/status_schedule.h"

#include <algorithm>

namespace kivrel {

void StatusSchedule::SetPcs(const std::vector<StatusCheck>& pcs, StatusMillis now) {
    std::map<MacBytes, Pc> kept;
    for (const StatusCheck& check : pcs) {
        auto old = m_pcs.find(check.mac);
        Pc pc = old != m_pcs.end() ? old->second : Pc{};
        if (old == m_pcs.end() || pc.address != check.address) {
            // A new address says nothing of the old one's answers.
            Show(check.mac, pc, pc.watching ? PC_STATUS_WAITING : PC_STATUS_BLANK);
            pc.address = check.address;
            pc.running = false;
            pc.generation = ++m_generations;
            pc.due = now;
        }
        kept[check.mac] = pc;
    }
    for (auto& [mac, pc] : m_pcs) {
        if (kept.count(mac) == 0) {
            // Its cell must not come back with the PC registered again.
            Show(mac, pc, PC_STATUS_BLANK);
        }
    }
    m_pcs.swap(kept);
    Requeue();
}

void StatusSchedule::SetEnabled(bool enabled, StatusMillis now) {
    m_enabled = enabled;
    for (auto& [mac, pc] : m_pcs) {
        if (pc.watching) {
            continue;
        }
        if (!enabled) {
            pc.generation = ++m_generations;
            pc.running = false;
            // The outcome of a wake stays; no other cell may claim a check.
            if (pc.status != PC_STATUS_NOT_WOKEN) {
                Show(mac, pc, PC_STATUS_BLANK);
            }
        }
        pc.due = now;
    }
    Requeue();
}

void StatusSchedule::NoteWoken(const MacBytes& mac, StatusMillis now) {
    auto found = m_pcs.find(mac);
    if (found == m_pcs.end()) {
        return;
    }
    Pc& pc = found->second;
    m_queue.erase({pc.due, mac});
    m_woken.erase({pc.due, mac});
    pc.wokenUntil = now + m_times.wokenWatch;
    pc.watching = true;
    pc.seenUp = false;
    pc.running = false;
    pc.generation = ++m_generations;
    pc.due = now;
    Show(mac, pc, PC_STATUS_WAITING);
    Queue(mac, pc);
}

void StatusSchedule::Suspend() {
    m_suspended = true;
    for (auto& entry : m_pcs) {
        Pc& pc = entry.second;
        if (pc.running) {
            // Sent while the network went away: its silence means nothing.
            pc.running = false;
            pc.generation = ++m_generations;
        }
    }
}

void StatusSchedule::Resume(StatusMillis now) {
    m_suspended = false;
    m_resumeAt = now + m_times.resumeDelay;
    Requeue();
}

bool StatusSchedule::TakeDue(StatusMillis now, StatusCheck& check, StatusMillis& next,
                             bool wokenOnly) {
    next = -1;
    if (m_suspended) {
        return false;
    }
    // A due woken PC goes before any overdue other.
    std::set<std::pair<StatusMillis, MacBytes>>* from = nullptr;
    if (!m_woken.empty() && m_woken.begin()->first <= now) {
        from = &m_woken;
    } else if (!wokenOnly && !m_queue.empty() && m_queue.begin()->first <= now) {
        from = &m_queue;
    }
    if (from == nullptr || now < m_resumeAt) {
        for (const auto* queue : {&m_woken, &m_queue}) {
            if (!queue->empty() && (next < 0 || queue->begin()->first < next)) {
                next = queue->begin()->first;
            }
        }
        next = next < 0 ? -1 : std::max(next, m_resumeAt);
        return false;
    }
    const MacBytes mac = from->begin()->second;
    from->erase(from->begin());
    Pc& pc = m_pcs[mac];
    pc.running = true;
    pc.takenAt = now;
    check.mac = mac;
    check.address = pc.address;
    check.generation = pc.generation;
    check.woken = pc.watching;
    return true;
}

bool StatusSchedule::Record(const StatusCheck& check, PcStatus result, StatusMillis now,
                            const MacBytes& other, bool echoed) {
    auto found = m_pcs.find(check.mac);
    if (found == m_pcs.end() || !found->second.running ||
        found->second.generation != check.generation) {
        // Removed, given a new address, woken again or put to sleep meanwhile.
        return false;
    }
    Pc& pc = found->second;
    pc.running = false;
    const bool answered = result == PC_STATUS_UP || result == PC_STATUS_OTHER;
    pc.facts.echoed = pc.facts.echoed || (echoed && result != PC_STATUS_BLANK);
    pc.facts.answered = pc.facts.answered || result == PC_STATUS_UP;
    if (result == PC_STATUS_OTHER) {
        pc.facts.otherDevice = true;
        pc.facts.otherMac = other;
    }
    PcStatus shown = result;
    if (pc.watching) {
        pc.seenUp = pc.seenUp || answered;
        if (now >= pc.wokenUntil) {
            pc.watching = false;
            if (!answered) {
                shown = pc.seenUp ? PC_STATUS_DOWN : PC_STATUS_NOT_WOKEN;
            }
        } else if (!answered) {
            shown = PC_STATUS_WAITING;
        }
    } else if (pc.status == PC_STATUS_NOT_WOKEN && !answered) {
        shown = PC_STATUS_NOT_WOKEN; // until it answers or is woken again
    }
    if (!m_enabled && !pc.watching && shown != PC_STATUS_NOT_WOKEN) {
        shown = PC_STATUS_BLANK;
    }
    pc.due = pc.takenAt + (pc.watching ? m_times.wokenCheckEvery : m_times.checkEvery);
    Queue(check.mac, pc);
    const bool changed = pc.status != shown;
    Show(check.mac, pc, shown);
    return changed;
}

void StatusSchedule::Show(const MacBytes& mac, Pc& pc, PcStatus status) {
    if (pc.status != status) {
        pc.status = status;
        m_changes[mac] = status;
    }
}

void StatusSchedule::Queue(const MacBytes& mac, const Pc& pc) {
    if (pc.running) {
        return;
    }
    if (pc.watching) {
        m_woken.emplace(pc.due, mac);
    } else if (m_enabled) {
        m_queue.emplace(pc.due, mac);
    }
}

void StatusSchedule::Requeue() {
    m_queue.clear();
    m_woken.clear();
    for (const auto& [mac, pc] : m_pcs) {
        Queue(mac, pc);
    }
}

PcStatus StatusSchedule::StatusOf(const MacBytes& mac) const {
    auto found = m_pcs.find(mac);
    return found != m_pcs.end() ? found->second.status : PC_STATUS_BLANK;
}

PcFacts StatusSchedule::FactsOf(const MacBytes& mac) const {
    auto found = m_pcs.find(mac);
    return found != m_pcs.end() ? found->second.facts : PcFacts{};
}

std::map<MacBytes, PcStatus> StatusSchedule::TakeChanges() {
    std::map<MacBytes, PcStatus> taken;
    taken.swap(m_changes);
    return taken;
}

} // namespace kivrel
