// A status bar of one stretching pane along the bottom of its parent.
#pragma once

#include "win/control_bar.h"

#include <string>

namespace win {

class StatusBar : public ControlBar {
public:
    bool Create(HWND parent, UINT id);
    void SetText(const std::wstring& text) const;
    // Lets the bar fit its parent's new size; returns its height.
    // WM_SIZE with no size makes the control measure its parent itself.
    int Layout() const { return Fit(WM_SIZE); }
};

} // namespace win
