#include "ui/list_look.h"

#include "win/resource_string.h"

HFONT CreateListFont() {
    return ::CreateFontA(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         FIXED_PITCH | FF_MODERN, nullptr);
}

void SetUpList(const win::ListView& list, HFONT font, DWORD styles,
               std::initializer_list<ListColumn> columns) {
    if (font != nullptr) {
        list.SetFont(font);
    }
    list.AddStyle(LVS_REPORT | LVS_NOSORTHEADER | styles);
    list.SetExtendedStyle(0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    int index = 0;
    for (const ListColumn& column : columns) {
        list.InsertColumn(index++, win::ResourceString(column.headingId), column.width);
    }
}
