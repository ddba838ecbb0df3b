// Binds a C++ object to a window so that its messages reach member handlers.
// The object is bound at WM_NCCREATE, or when an existing control is
// subclassed, and unbound at WM_NCDESTROY.
#pragma once

#include "win/owned.h"
#include "win/window_handle.h"

namespace win {

// For Window::Create: the system chooses the place and the size.
constexpr RECT kDefaultRect = {CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};

// A control of a system class as a child of parent, known to it by id;
// nullptr when it could not be made.
HWND CreateChildControl(const wchar_t* className, DWORD style, HWND parent, UINT id,
                        const RECT& rect = RECT{});

// Asks every dialog and message box of this thread that owner owns, directly
// or through another, to close by a posted WM_CLOSE: it then ends as Cancel
// does. Other owned windows (the toolbar's tooltips) are left alone.
void CloseOwnedDialogs(HWND owner);

class Window : public WindowHandle {
public:
    Window() = default;
    virtual ~Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // A class whose windows dispatch to their objects; lpfnWndProc, cbSize
    // and hInstance are filled in here.
    static bool RegisterWindowClass(WNDCLASSEXW windowClass);

    // The object behind a window of a registered class or a subclassed
    // control; nullptr for any other window.
    static Window* FromHandle(HWND hwnd);

    // Creates a window of a registered class bound to this object.
    HWND Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle,
                const RECT& rect, HWND parent, HMENU menuOrId);

    // Takes over an existing window, typically a common control: its own
    // procedure still does everything the handlers leave to it.
    bool Subclass(HWND hwnd);

    // The caption's and the task switcher's icons, both from one icon
    // resource, each at its size for the window's DPI; they follow the window
    // to a monitor of another scale and go with it.
    void SetIcons(UINT iconId);

protected:
    // Sees every message first; true when handled, with result set.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // False makes CreateWindowEx fail.
    virtual bool OnCreate(const CREATESTRUCTW& create);
    virtual bool OnCommand(UINT id, UINT code, HWND control);
    virtual void OnSize(UINT type, int width, int height);
    // Notifications from child windows that the child's own object did not take.
    virtual bool OnNotify(NMHDR& header, LRESULT& result);
    // This window's own notifications, reflected from its parent.
    virtual bool OnReflectedNotify(NMHDR& header, LRESULT& result);
    virtual void OnDestroy();
    // After WM_NCDESTROY, with the handle already unbound: the place for a
    // window that owns itself to delete this.
    virtual void OnFinalMessage();

    // The handlers' routing, shared with dialogs; false when none took it.
    bool Route(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // At WM_NCDESTROY, once nothing will draw them.
    void DestroyIcons();

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
    void LoadIcons(UINT dpi);

    WNDPROC m_superProc = nullptr; // a subclassed control's own procedure
    UINT m_iconId = 0;
    Icon m_icons[2]; // big, small
};

} // namespace win
