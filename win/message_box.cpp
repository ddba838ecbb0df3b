#include "win/message_box.h"

#include "win/application.h"
#include "win/resource_string.h"

namespace win {

int ShowMessageBox(UINT textId, UINT captionId, UINT flags) {
    return ShowMessageText(ResourceString(textId), captionId, flags);
}

int ShowMessageText(const std::wstring& text, UINT captionId, UINT flags) {
    HWND owner = ::GetActiveWindow();
    // Even from the background the main window owns it, so that it is
    // disabled meanwhile as under any dialog.
    if (owner == nullptr && Application::Current() != nullptr) {
        owner = Application::Current()->MainWindow();
    }
    return ::MessageBoxW(owner, text.c_str(), ResourceString(captionId).c_str(), flags);
}

bool QueryWindowStationFlags(unsigned long& flags) {
    USEROBJECTFLAGS station = {};
    if (!::GetUserObjectInformationW(::GetProcessWindowStation(), UOI_FLAGS, &station,
                                     sizeof station, nullptr)) {
        return false;
    }
    flags = station.dwFlags;
    return true;
}

} // namespace win
