// The window handle that every wrapper holds, with the calls they all make.
// It names the window without owning it.
#pragma once

#include <windows.h>

#include <string>

namespace win {

class WindowHandle {
public:
    HWND Hwnd() const { return m_hwnd; }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hwnd, message, wParam, lParam);
    }
    void SetText(const std::wstring& text) const { ::SetWindowTextW(m_hwnd, text.c_str()); }
    void Enable(bool enabled) const { ::EnableWindow(m_hwnd, enabled ? TRUE : FALSE); }
    bool IsEnabled() const { return ::IsWindowEnabled(m_hwnd) != FALSE; }
    void SetFocus() const { ::SetFocus(m_hwnd); }
    // Its own setting, whether or not its parent is shown yet.
    bool IsVisible() const { return (::GetWindowLongW(m_hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }
    void Show(bool visible) const { ::ShowWindow(m_hwnd, visible ? SW_SHOW : SW_HIDE); }

protected:
    void SetHwnd(HWND hwnd) { m_hwnd = hwnd; }

private:
    HWND m_hwnd = nullptr;
};

} // namespace win
