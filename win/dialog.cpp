#include "win/dialog.h"

#include "win/application.h"

namespace win {
namespace {

// Over the window it belongs to, as users expect of a program's dialogs, but
// never off the work area; without a visible owner, in the work area's middle.
void CenterOverOwner(HWND dialog) {
    RECT area;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    RECT around = area;
    const HWND owner = ::GetWindow(dialog, GW_OWNER);
    if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &around);
    }
    RECT rect;
    ::GetWindowRect(dialog, &rect);
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    LONG x = (around.left + around.right - width) / 2;
    LONG y = (around.top + around.bottom - height) / 2;
    x = x + width > area.right ? area.right - width : x;
    y = y + height > area.bottom ? area.bottom - height : y;
    x = x < area.left ? area.left : x;
    y = y < area.top ? area.top : y;
    ::SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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
