#include "win/status_bar.h"

#include "win/window.h"

#include <commctrl.h>

namespace win {

bool StatusBar::Create(HWND parent, UINT id) {
    SetHwnd(
        CreateChildControl(STATUSCLASSNAMEW, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, parent, id));
    if (Hwnd() == nullptr) {
        return false;
    }
    // One part that runs to the right edge.
    int right = -1;
    return Send(SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&right)) != FALSE;
}

void StatusBar::SetText(const std::wstring& text) const {
    Send(SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

} // namespace win
