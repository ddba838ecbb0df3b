#include "win/status_bar.h"

#include "win/dpi.h"
#include "win/window.h"

#include <commctrl.h>

namespace win {

bool StatusBar::Create(HWND parent, UINT id, UINT dpi) {
    SetHwnd(
        CreateChildControl(STATUSCLASSNAMEW, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, parent, id));
    if (Hwnd() == nullptr) {
        return false;
    }
    // One part that runs to the right edge.
    int right = -1;
    SetDpi(dpi);
    return Send(SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&right)) != FALSE;
}

void StatusBar::SetDpi(UINT dpi) {
    m_dpi = dpi;
    // Where no font is told, the control keeps its own.
    const HFONT font = CreateStatusFont(dpi);
    if (font == nullptr) {
        return;
    }
    Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    m_font.Reset(font);
}

void StatusBar::SetText(const std::wstring& text) const {
    Send(SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

} // namespace win
