// The few operations of a report-style list control that the target list view
// needs, so that its decisions run against the real control and a simulated one.
#pragma once

#include <string>

namespace kivrel {

// Row state bits; the values are those of the Win32 list view.
constexpr unsigned kRowFocused = 0x0001;
constexpr unsigned kRowSelected = 0x0002;

class ListControl {
public:
    virtual ~ListControl() = default;

    virtual int RowCount() const = 0;
    virtual int SelectedCount() const = 0;
    virtual bool IsRowSelected(int row) const = 0;

    // A text-only row: no image, no state, item data 0. Returns the new row's index.
    virtual int InsertTextRow(int row, const std::string& text) = 0;
    // Text is ANSI bytes; a real control converts it for display only.
    virtual void SetItemText(int row, int column, const std::string& text) = 0;
    virtual void DeleteRow(int row) = 0;
    virtual void DeleteAllRows() = 0;
    // Changes the bits of mask (kRowSelected, kRowFocused) to those in state.
    virtual void SetRowState(int row, unsigned state, unsigned mask) = 0;
    // Partial visibility is enough.
    virtual void EnsureVisible(int row) = 0;
    // Off while many rows go in, so that they are laid out and painted once,
    // when it is on again.
    virtual void SetRedraw(bool redraw) = 0;
};

} // namespace kivrel
