// Message boxes captioned with the application's title, texts by string id.
#pragma once

#include "ui/messages.h"

#include <windows.h>

namespace win {

// Owned by the active window, so a box raised from a dialog stays above it.
int ShowMessageBox(UINT textId, UINT flags);

class MessageBoxes final : public kivrel::Messages {
public:
    void ShowStop(unsigned stringId) override;
    void ShowWarning(unsigned stringId) override;
    bool Confirm(unsigned stringId) override;
};

} // namespace win
