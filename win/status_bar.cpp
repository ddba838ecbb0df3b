#include "win/status_bar.h"

#include "win/window.h"

#include <commctrl.h>

namespace win {

bool StatusBar::Create(HWND parent, UINT id) {
    m_hwnd =
        CreateChildControl(STATUSCLASSNAMEW, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, parent, id);
    if (m_hwnd == nullptr) {
        return false;
    }
    // One part that runs to the right edge.
    int right = -1;
    return ::SendMessageW(m_hwnd, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&right)) != FALSE;
}

void StatusBar::SetText(const std::wstring& text) const {
    ::SendMessageW(m_hwnd, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

} // namespace win
