// A flat toolbar along the top of its parent, with tooltips, from one strip
// bitmap of 16x15 images used left to right.
#pragma once

#include "win/control_bar.h"

#include <commctrl.h>

#include <vector>

namespace win {

class ToolBar : public ControlBar {
public:
    // Button ids in order; 0 stands for a separator.
    bool Create(HWND parent, UINT id, UINT bitmapId, const std::vector<UINT>& buttons);
    const std::vector<UINT>& Buttons() const { return m_buttons; }

    // Changes the button only when its state differs, so idle time does not flicker.
    void Enable(UINT id, bool enabled) const;
    // Lets the bar fit its parent's new width; returns its height.
    int Layout() const { return Fit(TB_AUTOSIZE); }

private:
    std::vector<UINT> m_buttons;
};

} // namespace win
