// A flat toolbar along the top of its parent, with tooltips. Its slots come
// from a toolbar resource, its pictures from the bitmap of the same id: one
// strip whose images the buttons use left to right.
#pragma once

#include "win/control_bar.h"

#include <commctrl.h>

#include <vector>

namespace win {

class ToolBar : public ControlBar {
public:
    // The resource (type 241) is a list of 16-bit words: version 1, the
    // button's width and height, the number of slots, then each slot's
    // command id, 0 for a separator.
    bool Create(HWND parent, UINT id, UINT resourceId);
    // Command ids left to right; 0 stands for a separator.
    const std::vector<UINT>& Buttons() const { return m_buttons; }

    // Changes the button only when its state differs, so idle time does not flicker.
    void Enable(UINT id, bool enabled) const;
    // Lets the bar fit its parent's new width; returns its height.
    int Layout() const { return Fit(TB_AUTOSIZE); }

private:
    bool AddButtons(UINT bitmapId);

    std::vector<UINT> m_buttons;
};

} // namespace win
