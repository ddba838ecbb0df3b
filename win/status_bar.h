// A status bar of one stretching pane along the bottom of its parent.
#pragma once

#include "win/control_bar.h"
#include "win/dpi.h"
#include "win/owned.h"

#include <string>

namespace win {

class StatusBar : public ControlBar {
public:
    // The system's status-bar font at dpi, the parent's, where Windows tells it.
    bool Create(HWND parent, UINT id, UINT dpi);
    void SetText(const std::wstring& text) const;
    // The parent moved to another scale: the font at the new DPI. The parent
    // lays the bar out afterwards.
    void SetDpi(UINT dpi);
    // The user changed the text size: the system's font at its new size.
    void FollowTextSize() { SetDpi(m_dpi); }
    // Lets the bar fit its parent's new size; returns its height.
    // WM_SIZE with no size makes the control measure its parent itself.
    int Layout() const { return Fit(WM_SIZE); }

private:
    Font m_font;
    UINT m_dpi = kBaseDpi;
};

} // namespace win
