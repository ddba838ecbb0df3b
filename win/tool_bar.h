// A flat toolbar along the top of its parent, with tooltips, from one strip
// bitmap of 16x15 images used left to right.
#pragma once

#include <windows.h>

#include <vector>

namespace win {

class ToolBar {
public:
    // Button ids in order; 0 stands for a separator.
    bool Create(HWND parent, UINT id, UINT bitmapId, const std::vector<UINT>& buttons);
    HWND Hwnd() const { return m_hwnd; }
    const std::vector<UINT>& Buttons() const { return m_buttons; }

    // Its own setting, whether or not the parent is shown yet.
    bool IsVisible() const { return (::GetWindowLongW(m_hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }
    void Show(bool visible) const { ::ShowWindow(m_hwnd, visible ? SW_SHOW : SW_HIDE); }
    // Changes the button only when its state differs, so idle time does not flicker.
    void Enable(UINT id, bool enabled) const;
    // Lets the bar fit its parent's new width; returns its height.
    int Layout() const;

private:
    HWND m_hwnd = nullptr;
    std::vector<UINT> m_buttons;
};

} // namespace win
