#include "win/application.h"

namespace win {

Application* Application::s_current = nullptr;

Application::Application() {
    s_current = this;
}

Application::~Application() {
    s_current = nullptr;
}

int Application::Main() {
    if (!InitInstance()) {
        return m_exitCode;
    }
    m_exitCode = Run();
    return ExitInstance();
}

int Application::ExitInstance() {
    return m_exitCode;
}

int Application::Run() {
    MSG msg;
    for (;;) {
        if (m_mainWindow != nullptr && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            ::SendMessageW(m_mainWindow, WM_IDLE_UPDATE, 0, 0);
        }
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            return got == 0 ? static_cast<int>(msg.wParam) : 0;
        }
        if (m_accelerators != nullptr && m_mainWindow != nullptr &&
            ::TranslateAcceleratorW(m_mainWindow, m_accelerators, &msg)) {
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

} // namespace win
