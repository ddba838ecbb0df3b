#include "win/window.h"

#include "win/dpi.h"

namespace win {

HWND CreateChildControl(const wchar_t* className, DWORD style, HWND parent, UINT id,
                        const RECT& rect) {
    return ::CreateWindowExW(0, className, nullptr, style, rect.left, rect.top,
                             rect.right - rect.left, rect.bottom - rect.top, parent,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                             ::GetModuleHandleW(nullptr), nullptr);
}

namespace {

BOOL CALLBACK CloseIfOwnedDialog(HWND hwnd, LPARAM owner) {
    wchar_t className[8] = {};
    if (::GetClassNameW(hwnd, className, 8) == 0 || ::lstrcmpW(className, L"#32770") != 0) {
        return TRUE;
    }
    for (HWND up = ::GetWindow(hwnd, GW_OWNER); up != nullptr; up = ::GetWindow(up, GW_OWNER)) {
        if (up == reinterpret_cast<HWND>(owner)) {
            ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
            break;
        }
    }
    return TRUE;
}

} // namespace

void CloseOwnedDialogs(HWND owner) {
    ::EnumThreadWindows(::GetCurrentThreadId(), CloseIfOwnedDialog,
                        reinterpret_cast<LPARAM>(owner));
}

bool Window::RegisterWindowClass(WNDCLASSEXW windowClass) {
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    return ::RegisterClassExW(&windowClass) != 0;
}

Window* Window::FromHandle(HWND hwnd) {
    // The procedure tells our windows apart: other windows may use
    // GWLP_USERDATA for anything.
    const auto proc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    if (proc != WindowProc && proc != SubclassProc) {
        return nullptr;
    }
    return reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

HWND Window::Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle,
                    const RECT& rect, HWND parent, HMENU menuOrId) {
    const bool byDefault = rect.left == CW_USEDEFAULT;
    const int width = byDefault ? CW_USEDEFAULT : rect.right - rect.left;
    const int height = byDefault ? CW_USEDEFAULT : rect.bottom - rect.top;
    return ::CreateWindowExW(exStyle, className, title, style, rect.left, rect.top, width, height,
                             parent, menuOrId, ::GetModuleHandleW(nullptr), this);
}

bool Window::Subclass(HWND hwnd) {
    if (hwnd == nullptr || Hwnd() != nullptr) {
        return false;
    }
    SetHwnd(hwnd);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_superProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    return true;
}

void Window::SetIcons(UINT iconId) {
    m_iconId = iconId;
    LoadIcons(DpiOf(Hwnd()));
}

void Window::LoadIcons(UINT dpi) {
    // Each at its own size, so that neither is a shrunk or stretched copy.
    const int sizes[] = {Scale(32, dpi), Scale(16, dpi)};
    const WPARAM kinds[] = {ICON_BIG, ICON_SMALL};
    for (int i = 0; i < 2; ++i) {
        const HICON icon =
            static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_iconId),
                                            IMAGE_ICON, sizes[i], sizes[i], 0));
        Send(WM_SETICON, kinds[i], reinterpret_cast<LPARAM>(icon));
        m_icons[i].Reset(icon);
    }
}

void Window::DestroyIcons() {
    for (Icon& icon : m_icons) {
        icon.Reset(nullptr);
    }
}

bool Window::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

bool Window::OnCreate(const CREATESTRUCTW&) {
    return true;
}

bool Window::OnCommand(UINT, UINT, HWND) {
    return false;
}

void Window::OnSize(UINT, int, int) {}

bool Window::OnNotify(NMHDR&, LRESULT&) {
    return false;
}

bool Window::OnReflectedNotify(NMHDR&, LRESULT&) {
    return false;
}

void Window::OnDestroy() {}

void Window::OnFinalMessage() {}

bool Window::Route(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_DPI_CHANGED && m_iconId != 0) {
        LoadIcons(LOWORD(wParam));
    }
    if (OnMessage(message, wParam, lParam, result)) {
        return true;
    }
    switch (message) {
    case WM_CREATE:
        result = OnCreate(*reinterpret_cast<const CREATESTRUCTW*>(lParam)) ? 0 : -1;
        return true;
    case WM_COMMAND:
        result = 0;
        return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    // Notifications: the default processing runs as well (a subclassed
    // control must still see them).
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return false;
    case WM_NOTIFY: {
        NMHDR& header = *reinterpret_cast<NMHDR*>(lParam);
        Window* child = FromHandle(header.hwndFrom);
        result = 0;
        if (child != nullptr && child != this && child->OnReflectedNotify(header, result)) {
            return true;
        }
        return OnNotify(header, result);
    }
    case WM_DESTROY:
        OnDestroy();
        return false;
    default:
        return false;
    }
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* window =
            static_cast<Window*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->SetHwnd(hwnd);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    auto* window = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    // A few messages (WM_GETMINMAXINFO) arrive before WM_NCCREATE.
    return window != nullptr ? window->Dispatch(message, wParam, lParam)
                             : ::DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Window::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA))
        ->Dispatch(message, wParam, lParam);
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (message != WM_NCDESTROY) {
        return Route(message, wParam, lParam, result) ? result
                                                      : DefaultProc(message, wParam, lParam);
    }
    result = DefaultProc(message, wParam, lParam);
    DestroyIcons();
    ::SetWindowLongPtrW(Hwnd(), GWLP_USERDATA, 0);
    if (m_superProc != nullptr) {
        ::SetWindowLongPtrW(Hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superProc));
        m_superProc = nullptr;
    }
    SetHwnd(nullptr);
    OnFinalMessage(); // may delete this: nothing may follow
    return result;
}

LRESULT Window::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return m_superProc != nullptr ? ::CallWindowProcW(m_superProc, Hwnd(), message, wParam, lParam)
                                  : ::DefWindowProcW(Hwnd(), message, wParam, lParam);
}

} // namespace win
