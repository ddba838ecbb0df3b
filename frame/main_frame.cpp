#include "frame/main_frame.h"

#include "res/resource.h"
#include "ui/kivrel_list_view.h"
#include "win/application.h"
#include "win/dpi.h"
#include "win/resource_string.h"

#include <commctrl.h>

namespace {

const wchar_t kClassName[] = L"KivrelMainFrame";

bool RegisterFrameClass() {
    static bool registered = false;
    if (!registered) {
        // Class style 0, and no cursor, brush or icon: the children cover the
        // client area and the icons are set on the window itself.
        WNDCLASSEXW windowClass = {};
        windowClass.lpszClassName = kClassName;
        registered = win::Window::RegisterWindowClass(windowClass);
    }
    return registered;
}

} // namespace

const kivrel::CommandRow<CMainFrame> CMainFrame::kCommands[] = {
    {ID_VIEW_TOOLBAR, &CMainFrame::OnViewToolBar, nullptr, &CMainFrame::IsToolBarShown},
    {ID_VIEW_STATUS_BAR, &CMainFrame::OnViewStatusBar, nullptr, &CMainFrame::IsStatusBarShown},
};

bool CMainFrame::AnyOpen() {
    return ::FindWindowW(kClassName, nullptr) != nullptr;
}

CMainFrame* CMainFrame::LoadFrame(DWORD style, kivrel::CommandTarget& application) {
    if (!RegisterFrameClass()) {
        return nullptr;
    }
    HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    auto* frame = new CMainFrame(application);
    // Without WS_EX_CLIENTEDGE: the list's own thin border outlines the client area.
    if (frame->Create(kClassName, win::ResourceString(IDR_MAINFRAME).c_str(), style, 0,
                      win::kDefaultRect, nullptr, menu) == nullptr) {
        // A refused creation destroyed the window, and with it the frame object.
        if (menu != nullptr && ::IsMenu(menu)) {
            ::DestroyMenu(menu);
        }
        return nullptr;
    }
    return frame;
}

bool CMainFrame::OnCreate(const CREATESTRUCTW&) {
    SetIcons(IDR_MAINFRAME);

    m_pView = CKivrelListView::CreateObject();
    const RECT none = {0, 0, 0, 0};
    if (!m_pView->Create(WS_CHILD | WS_VISIBLE | WS_BORDER, none, Hwnd(), AFX_IDW_PANE_FIRST)) {
        m_pView = nullptr;
        return false;
    }
    m_pView->LoadTargets();

    const UINT dpi = win::DpiOf(Hwnd());
    if (!m_wndToolBar.Create(Hwnd(), AFX_IDW_TOOLBAR, IDR_MAINFRAME,
                             {{96, IDR_MAINFRAME}, {144, IDB_TOOLBAR_144}, {192, IDB_TOOLBAR_192}},
                             dpi)) {
        return false;
    }
    if (!m_wndStatusBar.Create(Hwnd(), AFX_IDW_STATUS_BAR, dpi)) {
        return false;
    }
    ShowPrompt(0);
    return true;
}

bool CMainFrame::DestroyWindow() {
    SaveTargets(true);
    return ::DestroyWindow(Hwnd()) != FALSE;
}

// Whether a save is needed at all is the view's decision.
void CMainFrame::SaveTargets(bool askOnFailure) {
    if (m_pView == nullptr) {
        return;
    }
    if (askOnFailure) {
        m_pView->SaveTargetsOrAsk();
    } else {
        m_pView->SaveTargets();
    }
}

void CMainFrame::ReportLoad() {
    if (m_pView != nullptr) {
        m_pView->ReportLoad();
    }
}

// The close box, Alt+F4, the exit command, or another program (taskkill
// without /F posts WM_CLOSE to every window). While a dialog or message box of
// ours runs, this window is disabled and that loop is on the stack: the window
// must not go from under it. That one is asked to end as Cancel (the send
// dialog aborts its run first), and the first idle time of the main loop,
// which comes only once every modal loop has returned, closes.
void CMainFrame::OnCloseRequest() {
    if (m_closePending || !IsEnabled()) {
        m_closePending = true;
        win::CloseOwnedDialogs(Hwnd());
        return;
    }
    DestroyWindow();
}

// The system may end the process without destroying the window, or may not
// end it after all (the Restart Manager asks so): the list is saved, and
// nothing is released that the process still needs. The close saves again
// only when the list changed since, or when this save failed.
void CMainFrame::OnEndSession() {
    SaveTargets(false);
}

bool CMainFrame::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_CLOSE:
        OnCloseRequest();
        result = 0;
        return true;
    case WM_SETFOCUS:
        if (m_pView != nullptr) {
            m_pView->SetFocus();
        }
        result = 0;
        return true;
    case WM_ENDSESSION:
        if (wParam != FALSE) {
            OnEndSession();
        }
        result = 0;
        return true;
    case WM_INITMENUPOPUP:
        if (HIWORD(lParam) == FALSE) {
            OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
        }
        return false;
    case WM_MENUSELECT:
        OnMenuSelect(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
        return false;
    case win::WM_IDLE_UPDATE:
        OnIdleUpdate();
        result = 0;
        return true;
    case WM_SYSCOLORCHANGE:
        OnSysColorChange();
        return false;
    case WM_SETTINGCHANGE:
        OnSettingChange();
        return false;
    case win::WM_DPI_CHANGED:
        OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        result = 0;
        return true;
    default:
        return false;
    }
}

bool CMainFrame::OnCommand(UINT id, UINT, HWND control) {
    // Menu items, accelerators and toolbar buttons; the list itself talks by WM_NOTIFY.
    if (control != nullptr && control != m_wndToolBar.Hwnd()) {
        return false;
    }
    // Nothing new starts once the window is closing.
    if (!m_closePending) {
        Chain().Execute(id);
    }
    return true;
}

kivrel::CommandChain CMainFrame::Chain() {
    return {m_pView != nullptr ? &m_pView->Commands() : nullptr, this, &m_application};
}

bool CMainFrame::QueryCommand(unsigned id, kivrel::CommandState& state) const {
    return kivrel::QueryCommandRow(kCommands, *this, id, state);
}

void CMainFrame::RunCommand(unsigned id) {
    kivrel::RunCommandRow(kCommands, *this, id);
}

void CMainFrame::OnViewToolBar() {
    m_wndToolBar.Show(!m_wndToolBar.IsVisible());
    RecalcLayout();
}

void CMainFrame::OnViewStatusBar() {
    m_wndStatusBar.Show(!m_wndStatusBar.IsVisible());
    ShowPrompt(0);
    RecalcLayout();
}

void CMainFrame::OnSize(UINT, int, int) {
    RecalcLayout();
}

void CMainFrame::RecalcLayout() const {
    if (m_wndToolBar.Hwnd() == nullptr || m_wndStatusBar.Hwnd() == nullptr) {
        return;
    }
    RECT client;
    ::GetClientRect(Hwnd(), &client);
    const int top = m_wndToolBar.Layout();
    const int bottom = client.bottom - m_wndStatusBar.Layout();
    if (m_pView != nullptr) {
        ::MoveWindow(m_pView->Hwnd(), 0, top, client.right, bottom > top ? bottom - top : 0, TRUE);
    }
}

// Moved to a monitor of another scale: the rectangle Windows suggests keeps
// the window's size in inches, and the list and the bars follow.
void CMainFrame::OnDpiChanged(UINT dpi, const RECT& suggested) {
    if (m_pView != nullptr) {
        m_pView->SetDpi(dpi);
    }
    m_wndToolBar.SetDpi(dpi);
    m_wndStatusBar.SetDpi(dpi);
    ::SetWindowPos(Hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RecalcLayout();
}

// A high-contrast theme switched on or off: the controls learn of it only
// from their parent, and the toolbar's images are made again in the new colours.
void CMainFrame::OnSysColorChange() {
    m_wndToolBar.OnSysColorChange();
    m_wndStatusBar.OnSysColorChange();
    if (m_pView != nullptr) {
        m_pView->OnSysColorChange();
    }
}

// The user's text size may have changed: the list's and the status bar's
// fonts follow without a restart. Cheap enough for every setting's change.
void CMainFrame::OnSettingChange() {
    if (m_pView != nullptr) {
        m_pView->FollowTextSize();
    }
    m_wndStatusBar.FollowTextSize();
    RecalcLayout();
}

void CMainFrame::OnDestroy() {
    // The children go next; nothing that arrives from now on may reach the view.
    m_pView = nullptr;
    if (win::Application::Current()->MainWindow() == Hwnd()) {
        win::Application::Current()->SetMainWindow(nullptr);
    }
    ::PostQuitMessage(0);
}

void CMainFrame::OnFinalMessage() {
    delete this;
}
