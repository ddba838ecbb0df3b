// Dialog controls by item id: a handle with the few calls the dialogs make.
#pragma once

#include <windows.h>

#include <string>

namespace win {

class Control {
public:
    void Attach(HWND dialog, int id) { m_hwnd = ::GetDlgItem(dialog, id); }
    HWND Hwnd() const { return m_hwnd; }
    void Enable(bool enabled) const { ::EnableWindow(m_hwnd, enabled ? TRUE : FALSE); }
    void SetFocus() const { ::SetFocus(m_hwnd); }

private:
    HWND m_hwnd = nullptr;
};

// An edit field whose text is ANSI bytes on our side; the control is wide.
class Edit : public Control {
public:
    std::string GetText() const;
    void SetText(const std::string& ansi) const;
    // Whether the control shows exactly what SetText(ansi) would put there.
    bool Shows(const std::string& ansi) const;

private:
    std::wstring GetWideText() const;
};

class Button : public Control {
public:
    void SetText(const std::wstring& text) const { ::SetWindowTextW(Hwnd(), text.c_str()); }
};

} // namespace win
