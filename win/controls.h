// Dialog controls by item id: a handle with the few calls the dialogs make.
#pragma once

#include "win/window_handle.h"

#include <string>

namespace win {

class Control : public WindowHandle {
public:
    void Attach(HWND dialog, int id) { SetHwnd(::GetDlgItem(dialog, id)); }
};

// An edit field whose text is ANSI bytes on our side; the control is wide.
class Edit : public Control {
public:
    using Control::SetText; // wide, for texts that are not ANSI bytes
    std::string GetText() const;
    std::wstring GetWideText() const;
    void SetText(const std::string& ansi) const;
    // Whether the control shows exactly what SetText(ansi) would put there.
    bool Shows(const std::string& ansi) const;
    // For a field of codes: typing goes straight in, not through the input
    // method the field before it may have left on.
    void TurnOffInputMethod() const;
};

} // namespace win
