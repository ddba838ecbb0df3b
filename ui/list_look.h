// How both of the program's lists look, the main list and the send dialog's:
// one fixed-pitch font, report view with grid lines and full-row selection,
// and headers that do not sort.
#pragma once

#include "win/list_view.h"

#include <initializer_list>

struct ListColumn {
    UINT headingId; // the heading's string
    int width;
};

// 12 pixels high, fixed pitch, modern family, no face name. The caller
// deletes it after the list is gone.
HFONT CreateListFont();

// The font is kept as it is when null; styles come on top of the common ones,
// and the columns go in left to right.
void SetUpList(const win::ListView& list, HFONT font, DWORD styles,
               std::initializer_list<ListColumn> columns);
