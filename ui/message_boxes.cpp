#include "ui/message_boxes.h"

#include "res/resource.h"
#include "win/message_box.h"
#include "win/ansi_text.h"
#include "win/resource_string.h"

void MessageBoxes::ShowStop(unsigned stringId) {
    win::ShowMessageBox(stringId, AFX_IDS_APP_TITLE, MB_OK | MB_ICONHAND);
}

void MessageBoxes::ShowWarning(unsigned stringId) {
    win::ShowMessageBox(stringId, AFX_IDS_APP_TITLE, MB_OK | MB_ICONEXCLAMATION);
}

bool MessageBoxes::AskRetry(unsigned stringId, const std::wstring& insert) {
    std::wstring text = win::ResourceString(stringId);
    const std::size_t at = text.find(L"%1");
    if (at != std::wstring::npos) {
        text.replace(at, 2, insert);
    }
    return win::ShowMessageText(text, AFX_IDS_APP_TITLE, MB_RETRYCANCEL | MB_ICONEXCLAMATION) ==
           IDRETRY;
}

bool MessageBoxes::Confirm(unsigned stringId) {
    return win::ShowMessageBox(stringId, AFX_IDS_APP_TITLE, MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

namespace {

void ShowFilled(const std::wstring& text, bool fault) {
    win::ShowMessageText(text, AFX_IDS_APP_TITLE,
                         MB_OK | (fault ? MB_ICONEXCLAMATION : MB_ICONINFORMATION));
}

} // namespace

void MessageBoxes::ShowNumbers(unsigned stringId, bool fault, unsigned long first,
                               unsigned long second) {
    ShowFilled(kivrel::FillNumbers(win::ResourceString(stringId), first, second), fault);
}

void MessageBoxes::ShowTexts(unsigned stringId, bool fault, const std::string& first,
                             const std::string& second) {
    ShowFilled(kivrel::FillTexts(win::ResourceString(stringId), win::Utf8ToWide(first),
                                 win::Utf8ToWide(second)),
               fault);
}
