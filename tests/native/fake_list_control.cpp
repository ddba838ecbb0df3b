#include "tests/native/fake_list_control.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kivrel {

int FakeListControl::RowCount() const {
    return static_cast<int>(m_rows.size());
}

int FakeListControl::SelectedCount() const {
    return static_cast<int>(std::count_if(
        m_rows.begin(), m_rows.end(), [](const Row& r) { return (r.state & kRowSelected) != 0; }));
}

bool FakeListControl::IsRowSelected(int row) const {
    if (!Exists(row)) {
        ADD_FAILURE() << "selection of row " << row << " of " << RowCount();
        return false;
    }
    return (m_rows[row].state & kRowSelected) != 0;
}

int FakeListControl::InsertTextRow(int row, const std::string& text) {
    if (row < 0 || row > RowCount()) {
        ADD_FAILURE() << "insert at row " << row << " of " << RowCount();
        return -1;
    }
    Row inserted;
    inserted.texts[0] = text;
    m_rows.insert(m_rows.begin() + row, inserted);
    return row;
}

void FakeListControl::SetItemText(int row, int column, const std::string& text) {
    if (!Exists(row) || column < 0 || column > 1) {
        ADD_FAILURE() << "text of row " << row << ", column " << column;
        return;
    }
    m_rows[row].texts[column] = text;
}

void FakeListControl::DeleteRow(int row) {
    if (!Exists(row)) {
        ADD_FAILURE() << "delete of row " << row << " of " << RowCount();
        return;
    }
    m_rows.erase(m_rows.begin() + row);
}

void FakeListControl::DeleteAllRows() {
    m_rows.clear();
}

void FakeListControl::SetRowState(int row, unsigned state, unsigned mask) {
    if (!Exists(row)) {
        ADD_FAILURE() << "state of row " << row << " of " << RowCount();
        return;
    }
    // Like the real control, only one row can hold the focus.
    if ((mask & state & kRowFocused) != 0) {
        for (Row& r : m_rows) {
            r.state &= ~kRowFocused;
        }
    }
    m_rows[row].state = (m_rows[row].state & ~mask) | (state & mask);
}

void FakeListControl::EnsureVisible(int row) {
    if (!Exists(row)) {
        ADD_FAILURE() << "scroll to row " << row << " of " << RowCount();
        return;
    }
    m_visibleRow = row;
}

void FakeListControl::Select(const std::vector<int>& rows) {
    for (Row& r : m_rows) {
        r.state = 0;
    }
    for (int row : rows) {
        ASSERT_TRUE(Exists(row)) << "selecting row " << row;
        m_rows[row].state = kRowSelected;
    }
    if (!rows.empty()) {
        m_rows[rows.back()].state |= kRowFocused;
    }
}

std::string FakeListControl::Text(int row, int column) const {
    return Exists(row) ? m_rows[row].texts[column] : std::string();
}

bool FakeListControl::IsRowFocused(int row) const {
    return Exists(row) && (m_rows[row].state & kRowFocused) != 0;
}

std::vector<int> FakeListControl::SelectedRows() const {
    std::vector<int> rows;
    for (int i = 0; i < RowCount(); ++i) {
        if ((m_rows[i].state & kRowSelected) != 0) {
            rows.push_back(i);
        }
    }
    return rows;
}

std::string FakeListControl::Mismatch(const TargetList& list) const {
    if (RowCount() != list.size()) {
        return std::to_string(RowCount()) + " rows for " + std::to_string(list.size()) + " entries";
    }
    for (int i = 0; i < RowCount(); ++i) {
        const TargetEntry& entry = list.at(i);
        if (m_rows[i].texts[0] != entry.name || m_rows[i].texts[1] != entry.FormatMacText()) {
            return "row " + std::to_string(i) + " shows \"" + m_rows[i].texts[0] + "\" " +
                   m_rows[i].texts[1] + " for \"" + entry.name + "\" " + entry.FormatMacText();
        }
    }
    return std::string();
}

bool FakeListControl::Exists(int row) const {
    return row >= 0 && row < RowCount();
}

std::string Latin1Codec::AnsiToUtf8(const std::string& ansi) const {
    std::string utf8;
    for (const char c : ansi) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | byte >> 6);
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

bool Latin1Codec::Utf8ToAnsi(const std::string& utf8, std::string& ansi) const {
    ansi.clear();
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {
            ansi += utf8[i];
        } else if ((byte == 0xC2 || byte == 0xC3) && i + 1 < utf8.size()) {
            ansi += static_cast<char>((byte & 0x03) << 6 | (utf8[++i] & 0x3F));
        } else {
            return false;
        }
    }
    return true;
}

} // namespace kivrel
