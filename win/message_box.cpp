#include "win/message_box.h"

#include "res/resource.h"
#include "win/resource_string.h"

namespace win {

int ShowMessageBox(UINT textId, UINT flags) {
    return ::MessageBoxW(::GetActiveWindow(), ResourceString(textId).c_str(),
                         ResourceString(AFX_IDS_APP_TITLE).c_str(), flags);
}

void MessageBoxes::ShowStop(unsigned stringId) {
    ShowMessageBox(stringId, MB_OK | MB_ICONHAND);
}

void MessageBoxes::ShowWarning(unsigned stringId) {
    ShowMessageBox(stringId, MB_OK | MB_ICONEXCLAMATION);
}

bool MessageBoxes::Confirm(unsigned stringId) {
    return ShowMessageBox(stringId, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

} // namespace win
