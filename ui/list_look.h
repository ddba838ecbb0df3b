// How both of the program's lists look, the main list and the send dialog's:
// one fixed-pitch font, report view with grid lines and full-row selection,
// and headers that do not sort; the font and the columns at the list's DPI.
#pragma once

#include "win/dpi.h"
#include "win/list_view.h"
#include "win/owned.h"

#include <initializer_list>

struct ListColumn {
    UINT headingId; // the heading's string
    int width;      // at 96 DPI
};

// One list's look; its owner keeps it as long as the list, which uses its font.
class ListLook {
public:
    // At the list's DPI. Styles come on top of the common ones, and the
    // columns go in left to right. Without a font the list keeps its own.
    void SetUp(const win::ListView& list, DWORD styles, std::initializer_list<ListColumn> columns);
    // The list moved to a monitor of another scale: a font made for it takes
    // the old one's place, and each column keeps its width at the new scale.
    void SetDpi(const win::ListView& list, UINT dpi);
    // The user changed the text size: a font made for it takes the old one's place.
    void FollowTextSize(const win::ListView& list) { SetDpi(list, m_dpi); }

private:
    win::Font m_font;
    UINT m_dpi = win::kBaseDpi;
    int m_columns = 0;
};
