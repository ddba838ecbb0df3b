// Which PCs to check for being up, and when: every PC with an address every
// 10 s, a PC just woken every 2 s for 3 minutes so that the user sees it come
// up. PCs are known by their MAC, so a status follows its PC wherever its row
// goes. Pure decisions on a clock the caller reads: no threads, no network.
#pragma once

#include "targets/target_entry.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kivrel {

using StatusMillis = std::int64_t;

constexpr StatusMillis kCheckEveryMs = 10000;
constexpr StatusMillis kWokenCheckEveryMs = 2000;
constexpr StatusMillis kWokenWatchMs = 180000;

// What the status column shows: blank while no address is known.
enum PcStatus : unsigned char { PC_STATUS_BLANK, PC_STATUS_UP, PC_STATUS_DOWN };

// One PC to check. Without an address of its own, the neighbour table is asked by MAC.
struct StatusCheck {
    MacBytes mac{};
    std::string address;
    // Set by TakeDue and handed back to Record, which drops an answer for an
    // address the PC no longer has.
    unsigned generation = 0;
};

class StatusSchedule {
public:
    // The PCs of the list now; every one is due at once unless it was known
    // before. The statuses of PCs no longer listed are forgotten.
    void SetPcs(const std::vector<StatusCheck>& pcs, StatusMillis now);
    // A wake was sent to mac: check it at once, then every 2 s for 3 minutes.
    void NoteWoken(const MacBytes& mac, StatusMillis now);
    // The most overdue check not yet running, marked as running. False when
    // none is due; then next is when the first one will be, or -1 for never.
    bool TakeDue(StatusMillis now, StatusCheck& check, StatusMillis& next);
    // The outcome of a check taken earlier; true when the PC's status changed.
    bool Record(const StatusCheck& check, PcStatus status, StatusMillis now);
    PcStatus StatusOf(const MacBytes& mac) const;

private:
    struct Pc {
        std::string address;
        PcStatus status = PC_STATUS_BLANK;
        StatusMillis due = 0;
        StatusMillis takenAt = 0;
        StatusMillis wokenUntil = -1;
        bool running = false;
        unsigned generation = 0;
    };
    void Queue(const MacBytes& mac, const Pc& pc);
    void Unqueue(const MacBytes& mac, const Pc& pc);

    std::map<MacBytes, Pc> m_pcs;
    // The PCs not being checked, soonest due first.
    std::set<std::pair<StatusMillis, MacBytes>> m_queue;
    unsigned m_generations = 0;
};

} // namespace kivrel
