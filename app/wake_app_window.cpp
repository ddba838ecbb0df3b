// The windowed start: the main frame, sized and shown whatever show state
// the process was given, and the application's commands.
#include "app/wake_app.h"

#include "frame/about_dlg.h"
#include "frame/main_frame.h"
#include "res/resource.h"
#include "win/dpi.h"

#include <commctrl.h>

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
    return true;
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
