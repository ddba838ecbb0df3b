// Which PCs to check for being up, and when: every PC with an address every
// 10 s, a PC just woken every 2 s for 3 minutes, ahead of every other, so that
// the user sees it come up. PCs are known by their MAC, so a status follows
// its PC wherever its row goes. Pure decisions on a clock the caller reads: no
// threads, no network.
#pragma once

#include "targets/target_entry.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kivrel {

using StatusMillis = std::int64_t;

// The checks' rhythm; only a test host shortens the watch.
struct StatusTimes {
    StatusMillis checkEvery = 10000;
    StatusMillis wokenCheckEvery = 2000;
    StatusMillis wokenWatch = 180000;
    // After the system resumes, its network takes a moment to come back.
    StatusMillis resumeDelay = 5000;
};

// What the status column shows. A check itself gives blank (no address
// known), up, down or another device; the watch after a wake adds the rest.
enum PcStatus : unsigned char {
    PC_STATUS_BLANK,
    PC_STATUS_UP,
    PC_STATUS_DOWN,
    PC_STATUS_WAITING,   // woken, watched, no answer yet
    PC_STATUS_NOT_WOKEN, // the watch ended without an answer
    PC_STATUS_OTHER,     // another device answers at the PC's address
};

// One PC to check. Without an address of its own, the neighbour table is asked by MAC.
struct StatusCheck {
    MacBytes mac{};
    std::string address;
    // Set by TakeDue and handed back to Record, which drops an answer for an
    // address the PC no longer has.
    unsigned generation = 0;
    bool woken = false;
};

// What the checks learnt of a PC while the program ran.
struct PcFacts {
    bool echoed = false; // an echo was sent to it
    bool answered = false;
    bool otherDevice = false;
    MacBytes otherMac{};
};

class StatusSchedule {
public:
    explicit StatusSchedule(const StatusTimes& times = StatusTimes()) : m_times(times) {}

    // The PCs of the list now; every one is due at once unless it was known
    // before. A PC that goes, or whose address changes, is reported blank.
    void SetPcs(const std::vector<StatusCheck>& pcs, StatusMillis now);
    // Off, only woken PCs are checked and every other cell is blank.
    void SetEnabled(bool enabled, StatusMillis now);
    // A wake was sent to mac: it waits to be seen, checked at once and then
    // every 2 s for 3 minutes ahead of every other PC.
    void NoteWoken(const MacBytes& mac, StatusMillis now);
    // The system sleeps: answers of checks under way are dropped, and none is
    // taken until a while after Resume.
    void Suspend();
    void Resume(StatusMillis now);
    // The most urgent due check not yet running, marked as running; only a
    // woken PC's when wokenOnly. False when none is due; then next is when the
    // first one will be, or -1 for never.
    bool TakeDue(StatusMillis now, StatusCheck& check, StatusMillis& next, bool wokenOnly = false);
    // The outcome of a check taken earlier: blank, up, down or another device;
    // echoed false when no echo went out (its name did not resolve).
    // True when the shown status changed.
    bool Record(const StatusCheck& check, PcStatus result, StatusMillis now,
                const MacBytes& other = MacBytes{}, bool echoed = true);
    PcStatus StatusOf(const MacBytes& mac) const;
    PcFacts FactsOf(const MacBytes& mac) const;
    // The shown statuses changed since the last call, blank included.
    std::map<MacBytes, PcStatus> TakeChanges();
    bool HasChanges() const { return !m_changes.empty(); }

private:
    struct Pc {
        std::string address;
        PcStatus status = PC_STATUS_BLANK;
        StatusMillis due = 0;
        StatusMillis takenAt = 0;
        StatusMillis wokenUntil = 0;
        bool watching = false;
        bool seenUp = false; // since the last wake
        bool running = false;
        unsigned generation = 0;
        PcFacts facts;
    };
    void Show(const MacBytes& mac, Pc& pc, PcStatus status);
    void Queue(const MacBytes& mac, const Pc& pc);
    void Requeue();

    StatusTimes m_times;
    std::map<MacBytes, Pc> m_pcs;
    // The PCs not being checked, soonest due first: woken ones apart, as they go first.
    std::set<std::pair<StatusMillis, MacBytes>> m_woken;
    std::set<std::pair<StatusMillis, MacBytes>> m_queue;
    std::map<MacBytes, PcStatus> m_changes;
    unsigned m_generations = 0;
    bool m_enabled = true;
    bool m_suspended = false;
    StatusMillis m_resumeAt = 0;
};

} // namespace kivrel
