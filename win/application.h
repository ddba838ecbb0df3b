// The process's one application object: start-up, the message loop with its
// accelerators, and the idle time that keeps the main window's toolbar current.
#pragma once

#include <windows.h>

namespace win {

// Sent to the main window whenever the message queue runs empty, so that it
// can bring its toolbar's enabled states up to date. Private messages start
// at WM_APP (0 to 0x3FF belong to the system); the program's own follow it.
constexpr UINT WM_IDLE_UPDATE = WM_APP;

class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* Current() { return s_current; }

    // WinMain's body: InitInstance, then the loop, then ExitInstance. When
    // InitInstance declines, the process ends with ExitCode() and no loop.
    int Main();

    HWND MainWindow() const { return m_mainWindow; }
    void SetMainWindow(HWND window) { m_mainWindow = window; }
    void SetAccelerators(HACCEL accelerators) { m_accelerators = accelerators; }

protected:
    // Runs once, after the loop; its result is the process exit status.
    virtual int ExitInstance();
    virtual bool InitInstance() = 0;
    void SetExitCode(int code) { m_exitCode = code; }
    int ExitCode() const { return m_exitCode; }

private:
    int Run();

    static Application* s_current;
    HWND m_mainWindow = nullptr;
    HACCEL m_accelerators = nullptr;
    int m_exitCode = 0;
};

} // namespace win
