#include "ui/status_column.h"

#include "res/resource.h"

#include <algorithm>

namespace kivrel {

std::string OwnAddressOf(const TargetEntry&) {
    // The list keeps no address of its own yet.
    return std::string();
}

std::vector<StatusCheck> StatusChecksOf(const TargetList& targets) {
    std::vector<StatusCheck> checks;
    checks.reserve(targets.size());
    for (const TargetEntry& entry : targets) {
        checks.push_back({entry.mac, OwnAddressOf(entry)});
    }
    return checks;
}

unsigned StatusTextId(PcStatus status) {
    switch (status) {
    case PC_STATUS_UP:
        return IDS_STATUS_UP;
    case PC_STATUS_DOWN:
        return IDS_STATUS_DOWN;
    case PC_STATUS_BLANK:
        break;
    }
    return 0;
}

std::vector<int> RowsToRepaint(const TargetList& targets, int first, int last,
                               const std::map<MacBytes, PcStatus>& changed) {
    std::vector<int> rows;
    const int end = std::min(last + 1, static_cast<int>(targets.size()));
    for (int row = std::max(first, 0); row < end; ++row) {
        if (changed.count(targets.at(row).mac) != 0) {
            rows.push_back(row);
        }
    }
    return rows;
}

} // namespace kivrel
