// The main list's status column: which PCs are checked, at which address,
// and what each row shows. Rows are found by MAC, so a status stays with its
// PC however the rows move.
#pragma once

#include "targets/target_list.h"
#include "ui/target_list_view.h"
#include "status/status_schedule.h"

#include <map>
#include <string>
#include <vector>

namespace kivrel {

// Each PC of the view with the address kept with its MAC; without one the
// check asks the neighbour table by MAC.
std::vector<StatusCheck> StatusChecksOf(const TargetListView& view);

// The status text's string id; 0 for a blank cell.
unsigned StatusTextId(PcStatus status);

// The rows from first to last whose PC's status is among changed.
std::vector<int> RowsToRepaint(const TargetList& targets, int first, int last,
                               const std::map<MacBytes, PcStatus>& changed);

} // namespace kivrel
