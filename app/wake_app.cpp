#include "app/wake_app.h"

#include "app/cli_wake.h"
#include "app/command_line.h"
#include "res/resource.h"
#include "ui/message_boxes.h"
#include "wake/wake_sender.h"

#include <winsock.h>

namespace {

bool IsLeadByte(unsigned char c) {
    return ::IsDBCSLeadByte(c) != FALSE;
}

} // namespace

bool CWakeApp::InitInstance() {
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        MessageBoxes().ShowStop(IDS_WINSOCK_FAILED);
        SetExitCode(kivrel::CLI_EXIT_NO_SOCKETS);
        return false;
    }
    const std::string text = kivrel::CommandLineText(::GetCommandLineA(), IsLeadByte);
    if (!text.empty()) {
        MessageBoxes messages;
        SetExitCode(kivrel::RunCommandLineWake(text, messages, kivrel::SendWakePacket));
        ::WSACleanup();
        return false;
    }
    if (!StartWindow()) {
        ::WSACleanup();
        return false;
    }
    return true;
}

int CWakeApp::ExitInstance() {
    ::WSACleanup();
    return win::Application::ExitInstance();
}

bool CWakeApp::OnCommand(UINT id) {
    if (id == ID_APP_ABOUT) {
        OnAppAbout();
        return true;
    }
    if (id == ID_APP_EXIT) {
        ::SendMessageW(MainWindow(), WM_CLOSE, 0, 0);
        return true;
    }
    return false;
}

bool CWakeApp::QueryCommand(UINT id, bool& enabled) {
    if (id == ID_APP_ABOUT || id == ID_APP_EXIT) {
        enabled = true;
        return true;
    }
    return false;
}
