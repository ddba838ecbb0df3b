// A modal dialog from a resource template, bound to its object at
// WM_INITDIALOG. Without an owner it is owned by the main window.
#pragma once

#include "win/window.h"

namespace win {

class Dialog : public Window {
public:
    explicit Dialog(UINT templateId) : m_templateId(templateId) {}

    // IDOK, IDCANCEL or whatever EndDialog was given; -1 when the dialog
    // could not be created.
    INT_PTR DoModal(HWND owner = nullptr);

    void EndDialog(int result) const { ::EndDialog(Hwnd(), result); }

protected:
    // True lets the dialog put the focus on the first tab stop.
    virtual bool OnInitDialog();
    // The OK button or Enter; the default ends with IDOK.
    virtual void OnOk();
    // The Cancel button, Esc or the close box; the default ends with IDCANCEL.
    virtual void OnCancel();

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool RouteDialog(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    UINT m_templateId;
};

} // namespace win
