#include "win/control_bar.h"

namespace win {

int ControlBar::Fit(UINT message) const {
    Send(message);
    if (!IsVisible()) {
        return 0;
    }
    RECT rect;
    ::GetWindowRect(Hwnd(), &rect);
    return rect.bottom - rect.top;
}

} // namespace win
