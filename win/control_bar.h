// What the frame's bars have in common: shown or hidden by the user, and laid
// out along an edge of their parent, which asks them for their height.
#pragma once

#include <windows.h>

namespace win {

class ControlBar {
public:
    HWND Hwnd() const { return m_hwnd; }

    // Its own setting, whether or not the parent is shown yet.
    bool IsVisible() const { return (::GetWindowLongW(m_hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }
    void Show(bool visible) const { ::ShowWindow(m_hwnd, visible ? SW_SHOW : SW_HIDE); }

protected:
    // Sends the message that makes the control fit its parent; returns the
    // height it then takes, 0 while hidden.
    int Fit(UINT message) const;

    HWND m_hwnd = nullptr;
};

} // namespace win
