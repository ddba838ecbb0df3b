// Hosts the target list view in a plain top-level window, as the main frame
// would but without its bars: loads Kivrel.dat from the current directory,
// hands every WM_COMMAND to a command chain of the view alone, and saves
// when closed. Sockets are
// started as the program starts them, for the send dialog.
#include "frame/command_chain.h"
#include "ui/kivrel_list_view.h"
#include "win/application.h"
#include "win/window.h"

#include <commctrl.h>
#include <winsock.h>

namespace {

constexpr UINT kPaneId = 0xE900;

class HostWindow final : public win::Window {
protected:
    bool OnCreate(const CREATESTRUCTW&) override {
        m_view = CKivrelListView::CreateObject();
        const RECT none = {0, 0, 0, 0};
        // A watch after a wake of seconds, not minutes, so that its end is seen.
        kivrel::StatusTimes times;
        times.wokenWatch = 8000;
        if (!m_view->Create(WS_CHILD | WS_VISIBLE | WS_BORDER, none, Hwnd(), kPaneId, nullptr,
                            times)) {
            m_view = nullptr;
            return false;
        }
        m_view->LoadTargets();
        return true;
    }

    bool OnCommand(UINT id, UINT, HWND) override {
        if (m_view != nullptr) {
            kivrel::CommandChain({&m_view->Commands()}).Execute(id);
        }
        return true;
    }

    void OnSize(UINT, int width, int height) override {
        if (m_view != nullptr) {
            ::MoveWindow(m_view->Hwnd(), 0, 0, width, height, TRUE);
        }
    }

    bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT& result) override {
        if (message != WM_CLOSE) {
            return false;
        }
        if (m_view != nullptr) {
            m_view->SaveTargets();
        }
        ::DestroyWindow(Hwnd());
        result = 0;
        return true;
    }

    void OnDestroy() override {
        m_view = nullptr; // it deletes itself with its window
        ::PostQuitMessage(0);
    }

private:
    CKivrelListView* m_view = nullptr;
};

class HostApp final : public win::Application {
protected:
    bool InitInstance() override {
        WSADATA data;
        if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) {
            return false;
        }
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
        ::InitCommonControlsEx(&controls);
        const wchar_t* className = L"KivrelListHost";
        WNDCLASSEXW windowClass = {};
        windowClass.lpszClassName = className;
        windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
        if (!win::Window::RegisterWindowClass(windowClass)) {
            return false;
        }
        const RECT rect = {0, 0, 600, 400};
        HWND hwnd = m_main.Create(className, L"list host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                  rect, nullptr, nullptr);
        SetMainWindow(hwnd);
        return hwnd != nullptr;
    }

    int ExitInstance() override {
        ::WSACleanup();
        return ExitCode();
    }

private:
    HostWindow m_main;
};

} // namespace

int wmain() {
    return HostApp().Main();
}
