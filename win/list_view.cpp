#include "win/list_view.h"

namespace win {

void ListView::AddStyle(DWORD style) const {
    const LONG_PTR old = ::GetWindowLongPtrW(Hwnd(), GWL_STYLE);
    ::SetWindowLongPtrW(Hwnd(), GWL_STYLE, old | static_cast<LONG_PTR>(style));
}

void ListView::SetExtendedStyle(DWORD mask, DWORD style) const {
    Send(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, static_cast<LPARAM>(style));
}

void ListView::SetFont(HFONT font) const {
    Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

int ListView::InsertColumn(int index, const std::wstring& heading, int width, int format) const {
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(heading.c_str());
    return static_cast<int>(
        Send(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
}

int ListView::GetColumnWidth(int column) const {
    return static_cast<int>(Send(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

bool ListView::SetColumnWidth(int column, int width) const {
    return Send(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0)) != 0;
}

int ListView::InsertItem(int row, const std::wstring& text) const {
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    return static_cast<int>(Send(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool ListView::SetItemText(int row, int column, const std::wstring& text) const {
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    return Send(LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != 0;
}

bool ListView::DeleteItem(int row) const {
    return Send(LVM_DELETEITEM, static_cast<WPARAM>(row), 0) != 0;
}

void ListView::SetItemCount(int count) const {
    // Neither scrolled nor repainted beyond what the new count changes.
    Send(LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

void ListView::RedrawItems(int first, int last) const {
    Send(LVM_REDRAWITEMS, static_cast<WPARAM>(first), static_cast<LPARAM>(last));
}

void ListView::RedrawCell(int row, int column) const {
    RECT cell = {};
    cell.top = column;
    cell.left = LVIR_BOUNDS;
    if (Send(LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell)) != 0) {
        ::InvalidateRect(Hwnd(), &cell, FALSE);
    }
}

int ListView::GetTopIndex() const {
    return static_cast<int>(Send(LVM_GETTOPINDEX, 0, 0));
}

int ListView::GetCountPerPage() const {
    return static_cast<int>(Send(LVM_GETCOUNTPERPAGE, 0, 0));
}

bool ListView::DeleteAllItems() const {
    return Send(LVM_DELETEALLITEMS, 0, 0) != 0;
}

int ListView::GetSelectedCount() const {
    return static_cast<int>(Send(LVM_GETSELECTEDCOUNT, 0, 0));
}

UINT ListView::GetItemState(int row, UINT mask) const {
    return static_cast<UINT>(Send(LVM_GETITEMSTATE, static_cast<WPARAM>(row), mask));
}

bool ListView::SetItemState(int row, UINT state, UINT mask) const {
    LVITEMW item = {};
    item.state = state;
    item.stateMask = mask;
    return Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) != 0;
}

bool ListView::EnsureVisible(int row, bool partialOk) const {
    return Send(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), partialOk ? TRUE : FALSE) != 0;
}

void ListView::SetRedraw(bool redraw) const {
    Send(WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
    if (redraw) {
        ::InvalidateRect(Hwnd(), nullptr, TRUE);
    }
}

} // namespace win
