// The windowed start: the main frame, sized and shown whatever show state
// the process was given, and the application's commands.
#include "app/wake_app.h"

#include "app/zip_copy.h"
#include "frame/about_dlg.h"
#include "frame/main_frame.h"
#include "res/resource.h"
#include "ui/message_boxes.h"
#include "win/dpi.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

const kivrel::CommandRow<CWakeApp> CWakeApp::kCommands[] = {
    {ID_APP_ABOUT, &CWakeApp::OnAppAbout, nullptr},
    {ID_APP_EXIT, &CWakeApp::OnAppExit, nullptr},
};

bool CWakeApp::StartWindow() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    CMainFrame* frame = CMainFrame::LoadFrame(WS_OVERLAPPEDWINDOW, *this);
    if (frame == nullptr) {
        return false;
    }
    SetMainWindow(frame->Hwnd());
    SetAccelerators(
        ::LoadAcceleratorsW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME)));
    const UINT dpi = win::DpiOf(frame->Hwnd());
    ::SetWindowPos(frame->Hwnd(), HWND_TOP, 0, 0, win::Scale(530, dpi), win::Scale(400, dpi),
                   SWP_NOMOVE);
    // Windows applies the starter's show state (a shortcut set to run
    // minimised or maximised, STARTF_USESHOWWINDOW) in place of the first
    // SW_SHOW or SW_SHOWNORMAL of a main window, once per process. That first
    // call takes it; the second shows the window normal, at its start size, whatever
    // the first did (it restores a minimised or maximised window and shows a
    // hidden one).
    ::ShowWindow(frame->Hwnd(), SW_SHOW);
    ::ShowWindow(frame->Hwnd(), SW_SHOWNORMAL);
    ::UpdateWindow(frame->Hwnd());
    frame->ReportLoad();
    WarnOfZipCopy();
    return true;
}

namespace {

// In long names: Windows may give either path in short 8.3 ones. Empty when
// it cannot be told.
std::wstring LongPath(const wchar_t* path, DWORD length) {
    if (length == 0 || length >= MAX_PATH) {
        return std::wstring();
    }
    wchar_t full[MAX_PATH];
    const DWORD fullLength = ::GetLongPathNameW(path, full, MAX_PATH);
    return fullLength > 0 && fullLength < MAX_PATH ? full : path;
}

} // namespace

// Said once, at the start, while nothing is lost yet.
void CWakeApp::WarnOfZipCopy() {
    wchar_t exe[MAX_PATH];
    wchar_t temp[MAX_PATH];
    std::wstring folder = LongPath(exe, ::GetModuleFileNameW(nullptr, exe, MAX_PATH));
    folder.resize(std::min(folder.size(), folder.find_last_of(L'\\')));
    if (kivrel::IsZipCopyFolder(folder, LongPath(temp, ::GetTempPathW(MAX_PATH, temp)))) {
        MessageBoxes().ShowWarning(IDS_ZIP_COPY);
    }
}

void CWakeApp::OnAppAbout() {
    CAboutDlg dialog;
    dialog.DoModal();
}

// Posted: the frame must not go while its own command dispatch is still on the stack.
void CWakeApp::OnAppExit() {
    ::PostMessageW(MainWindow(), WM_CLOSE, 0, 0);
}

bool CWakeApp::QueryCommand(unsigned id, kivrel::CommandState& state) const {
    return kivrel::QueryCommandRow(kCommands, *this, id, state);
}

void CWakeApp::RunCommand(unsigned id) {
    kivrel::RunCommandRow(kCommands, *this, id);
}
