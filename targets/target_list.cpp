#include "targets/target_list.h"

#include <algorithm>
#include <utility>

namespace kivrel {

void TargetList::Append(const TargetEntry& entry) {
    m_entries.push_back(entry);
}

void TargetList::Append(TargetEntry&& entry) {
    m_entries.push_back(std::move(entry));
}

bool TargetList::Reserve(std::int32_t count) {
    if (count > 0 && static_cast<std::size_t>(count) > m_entries.max_size()) {
        return false;
    }
    if (count > 0) {
        m_entries.reserve(static_cast<std::size_t>(count));
    }
    return true;
}

bool TargetList::ReplaceAt(std::int32_t index, const TargetEntry& entry) {
    if (!Contains(index)) {
        return false;
    }
    m_entries[index] = entry;
    return true;
}

bool TargetList::RemoveAt(std::int32_t index) {
    if (!Contains(index)) {
        return false;
    }
    m_entries.erase(m_entries.begin() + index);
    return true;
}

bool TargetList::SwapAdjacent(std::int32_t k) {
    // k + 1 is checked as k < size() - 1 so that k = INT32_MAX cannot overflow.
    if (!Contains(k) || k >= size() - 1) {
        return false;
    }
    std::swap(m_entries[k], m_entries[k + 1]);
    return true;
}

void TargetList::Clear() {
    m_entries.clear();
}

TargetList TargetList::CopyEntries(const std::vector<std::int32_t>& indices) const {
    std::vector<std::int32_t> ascending = indices;
    std::sort(ascending.begin(), ascending.end());
    TargetList copies;
    for (const std::int32_t index : ascending) {
        if (Contains(index)) {
            copies.Append(m_entries[index]);
        }
    }
    return copies;
}

bool operator==(const TargetList& a, const TargetList& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

} // namespace kivrel
