// A status bar of one stretching pane along the bottom of its parent.
#pragma once

#include <windows.h>

#include <string>

namespace win {

class StatusBar {
public:
    bool Create(HWND parent, UINT id);
    HWND Hwnd() const { return m_hwnd; }

    // Its own setting, whether or not the parent is shown yet.
    bool IsVisible() const { return (::GetWindowLongW(m_hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }
    void Show(bool visible) const { ::ShowWindow(m_hwnd, visible ? SW_SHOW : SW_HIDE); }
    void SetText(const std::wstring& text) const;
    // Lets the bar fit its parent's new size; returns its height.
    int Layout() const;

private:
    HWND m_hwnd = nullptr;
};

} // namespace win
