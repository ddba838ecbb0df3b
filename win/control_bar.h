// What the frame's bars have in common: shown or hidden by the user, and laid
// out along an edge of their parent, which asks them for their height.
#pragma once

#include "win/window_handle.h"

namespace win {

class ControlBar : public WindowHandle {
public:
    // Common controls redraw in the system's new colours only when told.
    void OnSysColorChange() const { Send(WM_SYSCOLORCHANGE); }

protected:
    // Sends the message that makes the control fit its parent; returns the
    // height it then takes, 0 while hidden.
    int Fit(UINT message) const;
};

} // namespace win
