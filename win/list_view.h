// A report-style list-view control: thin calls over its LVM_ messages. Texts
// are wide; ANSI data is converted by the caller at this boundary.
#pragma once

#include "win/controls.h"

#include <commctrl.h>

#include <string>

namespace win {

class ListView : public Control {
public:
    using Control::Attach;
    void Attach(HWND list) { SetHwnd(list); }

    void AddStyle(DWORD style) const;
    // A mask of 0 sets every extended style bit to those of style.
    void SetExtendedStyle(DWORD mask, DWORD style) const;
    void SetFont(HFONT font) const;

    int InsertColumn(int index, const std::wstring& heading, int width,
                     int format = LVCFMT_LEFT) const;
    int GetColumnWidth(int column) const;
    bool SetColumnWidth(int column, int width) const;
    // A text-only item; returns its index, or -1.
    int InsertItem(int row, const std::wstring& text) const;
    bool SetItemText(int row, int column, const std::wstring& text) const;
    bool DeleteItem(int row) const;
    // A list of LVS_OWNERDATA has count rows, whose texts it asks for.
    void SetItemCount(int count) const;
    // Repaints the rows, which then ask again for their texts.
    void RedrawItems(int first, int last) const;
    // Repaints one cell only.
    void RedrawCell(int row, int column) const;
    int GetTopIndex() const;
    int GetCountPerPage() const;
    bool DeleteAllItems() const;

    int GetSelectedCount() const;
    UINT GetItemState(int row, UINT mask) const;
    // Row -1 changes every row.
    bool SetItemState(int row, UINT state, UINT mask) const;
    bool EnsureVisible(int row, bool partialOk) const;
    // On again repaints the whole control; see RowBatch.
    void SetRedraw(bool redraw) const;
};

// Drawing is off while it lives: rows inserted meanwhile are laid out and
// painted once, when it ends, not once each.
class RowBatch {
public:
    explicit RowBatch(const ListView& list) : m_list(list) { m_list.SetRedraw(false); }
    ~RowBatch() { m_list.SetRedraw(true); }
    RowBatch(const RowBatch&) = delete;
    RowBatch& operator=(const RowBatch&) = delete;

private:
    const ListView& m_list;
};

} // namespace win
