#include "ui/list_look.h"

#include "win/resource_string.h"

namespace {

// 12 pixels high at 96 DPI and the usual text size, fixed pitch, modern
// family. Asked for Japanese by name and character set: a font without it
// (the one a western system gives for no face name) shows the statuses and
// the send results as boxes. MS Gothic is on every Windows since Vista, holds
// Latin, Greek and Cyrillic names too, and is the face a Japanese system
// gives anyway; where it is missing the character set finds another.
HFONT CreateListFont(UINT dpi) {
    return ::CreateFontW(win::ScaleForTextSize(win::Scale(12, dpi), dpi), 0, 0, 0, FW_NORMAL, FALSE,
                         FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                         DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"MS Gothic");
}

} // namespace

void ListLook::SetUp(const win::ListView& list, DWORD styles,
                     std::initializer_list<ListColumn> columns) {
    m_dpi = win::DpiOf(list.Hwnd());
    m_font.Reset(CreateListFont(m_dpi));
    if (m_font.Get() != nullptr) {
        list.SetFont(m_font.Get());
    }
    list.AddStyle(LVS_REPORT | LVS_NOSORTHEADER | styles);
    list.SetExtendedStyle(0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    for (const ListColumn& column : columns) {
        list.InsertColumn(m_columns++, win::ResourceString(column.headingId),
                          win::Scale(column.width, m_dpi));
    }
}

void ListLook::SetDpi(const win::ListView& list, UINT dpi) {
    const HFONT font = CreateListFont(dpi);
    if (font != nullptr) {
        list.SetFont(font);
        m_font.Reset(font);
    }
    // From the width the column has now, which the user may have changed.
    for (int column = 0; column < m_columns; ++column) {
        list.SetColumnWidth(column, win::Scale(list.GetColumnWidth(column), m_dpi, dpi));
    }
    m_dpi = dpi;
}
