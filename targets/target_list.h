// The registered targets in the order the user sees them. Entries are held by
// value: never sorted, duplicates allowed, no entry shared with another list.
#pragma once

#include "targets/target_entry.h"

#include <cstdint>
#include <vector>

namespace kivrel {

class TargetList {
public:
    using const_iterator = std::vector<TargetEntry>::const_iterator;

    // Indices are signed 32-bit, the same as the list control's rows.
    std::int32_t size() const { return static_cast<std::int32_t>(m_entries.size()); }
    bool empty() const { return m_entries.empty(); }
    // index must lie in 0 .. size() - 1.
    const TargetEntry& at(std::int32_t index) const { return m_entries[index]; }
    const_iterator begin() const { return m_entries.begin(); }
    const_iterator end() const { return m_entries.end(); }

    // The copy's index is the size before the call.
    void Append(const TargetEntry& entry);
    void Append(TargetEntry&& entry);
    // Room for count entries in all, so that appending them moves nothing;
    // false, with nothing reserved, for more than a list can ever hold (in a
    // 32-bit process far fewer than 2^31). Running out of memory still throws.
    bool Reserve(std::int32_t count);
    // The index-taking operations refuse an index outside the list and then
    // leave it exactly as it was.
    bool ReplaceAt(std::int32_t index, const TargetEntry& entry);
    bool RemoveAt(std::int32_t index);
    // Exchanges k and k + 1: moving i up is SwapAdjacent(i - 1), down SwapAdjacent(i).
    bool SwapAdjacent(std::int32_t k);
    void Clear();

    // Copies of the entries at the given indices in ascending index order,
    // whatever order the indices come in; indices outside the list are skipped.
    TargetList CopyEntries(const std::vector<std::int32_t>& indices) const;

private:
    bool Contains(std::int32_t index) const { return index >= 0 && index < size(); }

    std::vector<TargetEntry> m_entries;
};

bool operator==(const TargetList& a, const TargetList& b);

} // namespace kivrel
