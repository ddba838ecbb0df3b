#include "ui/status_column.h"

#include "res/resource.h"

#include <algorithm>

namespace kivrel {

std::vector<StatusCheck> StatusChecksOf(const TargetListView& view) {
    std::vector<StatusCheck> checks;
    checks.reserve(view.targets().size());
    for (const TargetEntry& entry : view.targets()) {
        checks.push_back({entry.mac, view.AddressOf(entry.mac)});
    }
    return checks;
}

unsigned StatusTextId(PcStatus status) {
    switch (status) {
    case PC_STATUS_UP:
        return IDS_STATUS_UP;
    case PC_STATUS_DOWN:
        return IDS_STATUS_DOWN;
    case PC_STATUS_WAITING:
        return IDS_STATUS_WAITING;
    case PC_STATUS_NOT_WOKEN:
        return IDS_STATUS_NOT_WOKEN;
    case PC_STATUS_OTHER:
        return IDS_STATUS_OTHER;
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
