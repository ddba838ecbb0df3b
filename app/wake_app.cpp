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
