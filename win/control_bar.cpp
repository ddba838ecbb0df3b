#include "win/control_bar.h"

namespace win {

int ControlBar::Fit(UINT message) const {
    ::SendMessageW(m_hwnd, message, 0, 0);
    if (!IsVisible()) {
        return 0;
    }
    RECT rect;
    ::GetWindowRect(m_hwnd, &rect);
    return rect.bottom - rect.top;
}

} // namespace win
