#include "ui/message_boxes.h"

#include "res/resource.h"
#include "win/message_box.h"
#include "win/resource_string.h"

void MessageBoxes::ShowStop(unsigned stringId) {
    win::ShowMessageBox(stringId, AFX_IDS_APP_TITLE, MB_OK | MB_ICONHAND);
}

void MessageBoxes::ShowWarning(unsigned stringId) {
    win::ShowMessageBox(stringId, AFX_IDS_APP_TITLE, MB_OK | MB_ICONEXCLAMATION);
}

bool MessageBoxes::Confirm(unsigned stringId) {
    return win::ShowMessageBox(stringId, AFX_IDS_APP_TITLE, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

void MessageBoxes::ShowNumbers(unsigned stringId, bool fault, unsigned long first,
                               unsigned long second) {
    const std::wstring text = kivrel::FillNumbers(win::ResourceString(stringId), first, second);
    win::ShowMessageBox(text, AFX_IDS_APP_TITLE,
                        MB_OK | (fault ? MB_ICONEXCLAMATION : MB_ICONINFORMATION));
}
