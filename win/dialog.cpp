#include "win/dialog.h"

#include "win/application.h"
#include "win/placement.h"

namespace win {
namespace {

Box BoxOf(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// Over the window it belongs to, as users expect of a program's dialogs, but
// never off the work area of the monitor that shows the owner (of the one
// nearest, or where a minimised owner was); without a visible owner, in that
// work area's middle.
void CenterOverOwner(HWND dialog) {
    const HWND owner = ::GetWindow(dialog, GW_OWNER);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoW(
        ::MonitorFromWindow(owner != nullptr ? owner : dialog, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT around = monitor.rcWork;
    if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &around);
    }
    RECT rect;
    ::GetWindowRect(dialog, &rect);
    const Point at = CentreWithin(rect.right - rect.left, rect.bottom - rect.top, BoxOf(around),
                                  BoxOf(monitor.rcWork));
    ::SetWindowPos(dialog, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

INT_PTR Dialog::DoModal(HWND owner) {
    if (owner == nullptr && Application::Current() != nullptr) {
        owner = Application::Current()->MainWindow();
    }
    return ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), owner,
                             DialogProc, reinterpret_cast<LPARAM>(this));
}

bool Dialog::OnInitDialog() {
    return true;
}

void Dialog::OnOk() {
    EndDialog(IDOK);
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<Dialog*>(lParam);
        dialog->SetHwnd(hwnd);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        CenterOverOwner(hwnd);
        return dialog->OnInitDialog();
    }
    auto* dialog = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    // A few messages (WM_SETFONT) arrive before WM_INITDIALOG.
    if (dialog == nullptr) {
        return FALSE;
    }
    if (message == WM_NCDESTROY) {
        dialog->DestroyIcons();
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        dialog->SetHwnd(nullptr);
        dialog->OnFinalMessage();
        return FALSE;
    }
    LRESULT result = 0;
    if (!dialog->RouteDialog(message, wParam, lParam, result)) {
        return FALSE;
    }
    ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

bool Dialog::RouteDialog(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    // Enter and Esc arrive as IDOK and IDCANCEL with code 0, like the buttons.
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IDOK) {
            OnOk();
            return true;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return true;
        }
    }
    return Route(message, wParam, lParam, result);
}

} // namespace win
