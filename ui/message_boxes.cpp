#include "ui/message_boxes.h"

#include "res/resource.h"
#include "win/message_box.h"

void MessageBoxes::ShowStop(unsigned stringId) {
    win::ShowMessageBox(stringId, AFX_IDS_APP_TITLE, MB_OK | MB_ICONHAND);
}

void MessageBoxes::ShowWarning(unsigned stringId) {
    win::ShowMessageBox(stringId, AFX_IDS_APP_TITLE, MB_OK | MB_ICONEXCLAMATION);
}

bool MessageBoxes::Confirm(unsigned stringId) {
    return win::ShowMessageBox(stringId, AFX_IDS_APP_TITLE, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}
