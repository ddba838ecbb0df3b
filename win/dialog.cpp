#include "win/dialog.h"

#include "win/application.h"

namespace win {

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
        dialog->Attach(hwnd);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        return dialog->OnInitDialog();
    }
    auto* dialog = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    // A few messages (WM_SETFONT) arrive before WM_INITDIALOG.
    if (dialog == nullptr) {
        return FALSE;
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        dialog->Detach();
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
